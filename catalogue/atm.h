// catalogue/atm.h - Adobe Type Manager's font list and folder, the ".otf"
// opener and the folder chooser.
#ifndef CATALOGUE_ATM_H
#define CATALOGUE_ATM_H

// The program registered to open ".otf" files (its path without quotes) into
// buffer (256 chars); false when there is none.
bool findOtfOpener(char *buffer);

// Lets the user choose a folder below My Computer; copies at most capacity
// bytes (NUL included) of its path into buffer. False when nothing was chosen.
bool browseForFolder(char *buffer, int capacity);

#endif
