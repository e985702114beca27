// catalogue/catalogue.h - the font catalogue built from the name map, the
// package disc and the fonts installed on the machine.
#ifndef CATALOGUE_CATALOGUE_H
#define CATALOGUE_CATALOGUE_H

#include "catalogue/fontentry.h"

// Rebuilds fontCatalogue(): all earlier entry pointers become invalid. The
// first load asks for the package disc; later loads search it silently.
void loadCatalogue(bool firstLoad);

#endif
