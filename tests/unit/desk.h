// Building blocks for the device trees the unit tests load into the fake
// device stack.
#ifndef VANTREL_TESTS_DESK_H
#define VANTREL_TESTS_DESK_H

#include <cstdio>
#include <string>

// Class GUID texts as the configuration manager reports them.
inline constexpr const char* kCdrom = "{4D36E965-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kDisk = "{4D36E967-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kHid = "{745A17A0-74D3-11D0-B6FE-00A0C90F57DA}";
inline constexpr const char* kKeyboard = "{4D36E96B-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kMedia = "{4D36E96C-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kMonitor = "{4D36E96E-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kMouse = "{4D36E96F-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kPrinter = "{4D36E979-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kScsi = "{4D36E97B-E325-11CE-BFC1-08002BE10318}";
inline constexpr const char* kUsb = "{36FC9E60-C465-11CF-8056-444553540000}";
inline constexpr const char* kVolume = "{71A27CDD-812A-11D0-BEC7-08002BE2092F}";
inline constexpr const char* kWpd = "{EEC5AD98-8080-425F-922A-DABF3DE3F69A}";

// One line of a tree file; "-" marks an absent property.
inline std::string Node(int id, int parent, unsigned status, int problem, const std::string& cls,
                        const std::string& friendly, const std::string& desc = "-")
{
    char head[64];
    snprintf(head, sizeof head, "%d|%d|0x%x|%d|", id, parent, status, problem);
    return head + cls + "|" + friendly + "|" + desc + "\n";
}

#endif
