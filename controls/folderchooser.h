// controls/folderchooser.h - the system's folder chooser.
#ifndef CONTROLS_FOLDERCHOOSER_H
#define CONTROLS_FOLDERCHOOSER_H

// Lets the user choose a folder below My Computer; copies at most capacity
// bytes (NUL included) of its path into buffer. False when nothing was chosen.
bool browseForFolder(char *buffer, int capacity);

#endif
