// The small numbers the whole setup shares: driver kinds, dialog event codes and the
// codes a fatal stop is raised with.
#pragma once

// How a plotter is driven; chosen by the selection, read by the installation.
constexpr int DriverVector = 0;
constexpr int DriverRaster = 1;
constexpr int DriverModel = 3;

// Event codes made from the first two characters of a dialog's event word.
constexpr int EventBack = 131;
constexpr int EventCancel = 132;
constexpr int EventContinue = 146;
constexpr int EventExit = 157;

// Why a fatal stop is raised; both codes end the run the same way.
constexpr int StopError = 1024;
constexpr int StopQuit = 1025;
