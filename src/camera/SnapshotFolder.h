#pragma once

#include <QString>

// Where snapshots go. The program's folder of an installed station is usually read-only on
// Linux, and a snapshot that cannot be created is lost without a word, so the folder is the
// program's own only when a file can really be created there; otherwise the user's pictures.
// Folders are absolute and end in '/', ready for "<folder>grab<n>.bmp".
namespace camera {

// True when a file can be created in the folder (tried, not guessed from permission bits).
bool canCreateFilesIn(const QString& folder);

// The program folder when files can be created there, else the pictures folder (made if missing).
QString chooseSnapshotFolder(const QString& programFolder, const QString& picturesFolder);

// The folder of the program file.
QString programFolder();

// The choice for this process: programFolder() or the user's pictures folder.
QString defaultSnapshotFolder();

// The one line the camera window shows about where snapshots go.
QString snapshotFolderLine(const QString& snapshotFolder);

} // namespace camera
