// The selection loop: from the plotter dialog's answers to the driver kind, the printer
// name, the replace decision and an existing spool directory for the raster driver.
#pragma once

// Returns once model, port, spool directory, driver kind, printer name and whether the
// driver is (re)installed are settled.
void RunSelection();
// Offers to create the missing spool directory: 0 when it was created, 1 when the user
// went back or the creation failed.
int RunCreateSpoolDir();
