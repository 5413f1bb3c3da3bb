// The driver files of the chosen plotter: queued from setup.inf by driver kind, then
// copied by the toolkit.
#pragma once

// Builds the copy list and places the copy gauge, when the driver is to be (re)installed.
void QueueDriverFiles();
// Copies every queued file; a quit or a failure of the copy ends the run.
void CopyQueuedFiles();
