// Registration of the chosen plotter with the print spooler: the old printer of the
// same name goes, the driver is (re)registered, the printer queue is added and the
// profile entries are written.
#pragma once

void InstallPlotter();
