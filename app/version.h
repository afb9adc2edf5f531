/* One place for the version: the VERSIONINFO block and the About box read it. */
#ifndef PELMAR_VERSION_H
#define PELMAR_VERSION_H

#define PELMAR_VERSION_MAJOR   1
#define PELMAR_VERSION_MINOR   0
#define PELMAR_VERSION_PATCH   0
#define PELMAR_VERSION_BUILD   3
#define PELMAR_VERSION_TEXT    "1.0.0.3"

#define PELMAR_MAKER_LINE      "Made by the Pelmar developers"
#define PELMAR_WEB_ADDRESS     "https://pelmar.example.org/"

#endif
