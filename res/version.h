// The program's version: the one place to change it. The version resource,
// the About box (which reads that resource), the manifest, the release
// archive's name and the installer all take it from here.
#ifndef VANTREL_VERSION_H
#define VANTREL_VERSION_H

#define VANTREL_VERSION_MAJOR 1
#define VANTREL_VERSION_MINOR 2
#define VANTREL_VERSION_PATCH 0
// The same three numbers as text; scripts/release.sh refuses to package
// when they disagree.
#define VANTREL_VERSION_TEXT "1.2.0"

#define VANTREL_VERSION_NUMBERS VANTREL_VERSION_MAJOR,VANTREL_VERSION_MINOR,VANTREL_VERSION_PATCH,0

#endif
