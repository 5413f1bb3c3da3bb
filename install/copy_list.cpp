// The copy list: "Info" to the Windows directory's inf folder, then the sections of the
// driver kind to the system directory; and the copy of everything queued.
#include "install/copy_list.h"

#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "install/install_checks.h"
#include "platform/toolkit.h"
#include "session/fatal_stop.h"

namespace {

void QueueSection(const char *section, const char *destination) {
    if (!FAddSectionFilesToCopyList(section, g_state.g_sourceDir, destination)) FatalStop(StopError);
}

}  // namespace

void QueueDriverFiles() {
    if (g_state.g_installDriver != 1) return;
    ResetCopyList();
    QueueSection("Info", g_state.g_infDir);
    if (g_state.g_driverKind == DriverRaster) {
        QueueSection("Raster", g_state.g_systemDir);
        // The selection names the printer for every catalogue model, so a raster
        // installation queues its model's section as a rule.
        if (g_state.g_printerName[0] != '\0') QueueSection(SelectedModel().dataName, g_state.g_systemDir);
    } else if (g_state.g_driverKind == DriverVector) {
        QueueSection("Vector", g_state.g_systemDir);
    } else {
        QueueSection(SelectedModel().dataName, g_state.g_systemDir);
    }
    ProSetPos(125, 100);
}

void CopyQueuedFiles() {
    const int reply = GrcCopyFilesInCopyList(HinstFrame());
    if (reply == GrcUserQuit) FatalStop(StopQuit);
    if (reply > 0) FatalStop(StopError);
}
