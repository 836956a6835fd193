// What the program says about itself, apart from its version (res/version.h):
// the one place to change these. The version resource and the manifest take
// them at build time, installer/vantrel.nsi and scripts/release.sh read them
// from here, and LICENSE must carry the same copyright line (release.sh
// refuses to package otherwise). Plain one-line string #defines, so that the
// scripts can read them too.
#ifndef VANTREL_PRODUCT_H
#define VANTREL_PRODUCT_H

#define VANTREL_PRODUCT "VANTREL"
#define VANTREL_PUBLISHER "HALCYRA"
#define VANTREL_COPYRIGHT "Copyright (C) 2026 HALCYRA"
// The version resource's FileDescription, so also the About box's first line.
#define VANTREL_DESCRIPTION "VANTREL - safe removal of hot-pluggable devices"
// The oldest Windows it is built for: the menu's pictured items need 98 or
// 2000, the eject call 2000. tests/check_exe.sh holds the exe to that floor.
#define VANTREL_REQUIREMENTS "Runs on Windows 2000 or later, 32- and 64-bit; Windows 98 and Me untested; Windows 95 and NT 4 cannot show its menu."

#endif
