// Fixed geometry of the main window's picture menu, in twips; the artwork is drawn to the same figures.
#pragma once

namespace zostore::shell::layout {

inline constexpr int TwipsPerPixel = 15; // at 96 dpi, the scale the artwork is drawn for

inline constexpr int BannerHeight = 2100;
inline constexpr int SidebarWidth = 2850;

inline constexpr int ModuleLeft = 225; // from imgMain's left edge
inline constexpr int ModuleWidth = 2400;
inline constexpr int ModuleHeight = 720;
inline constexpr int ModuleTop = 2600;
inline constexpr int ModuleStep = 800;

inline constexpr int ButtonSize = 1200;
inline constexpr int CaptionWidth = 1500;
inline constexpr int CaptionHeight = 330;
inline constexpr int SlotLefts[3] = {3400, 5900, 8400};
inline constexpr int SlotTops[3] = {2700, 5000, 7300};

inline constexpr int CardLeft = 3000;
inline constexpr int CardTop = 2300;
inline constexpr int CardRight = 11550;
inline constexpr int CardBottom = 9500;

inline constexpr int SepLeft = 12000;
inline constexpr int SepTop = 2300;
inline constexpr int SepWidth = 4800;
inline constexpr int SepHeight = 330;
inline constexpr int ReportCardLeft = 11850;
inline constexpr int ReportCardRight = 17100;
inline constexpr int ReportCardBottom = 15300;
inline constexpr int ReportHeaderWidth = 600;
inline constexpr int ReportHeaderHeight = 330;
inline constexpr int ReportLabelWidth = 3700;

inline constexpr int HelpWidth = 1350;
inline constexpr int HelpHeight = 600;
inline constexpr int HelpTop = 450;
inline constexpr int VerWidth = 2700;

inline constexpr int OrderSize = 720;

} // namespace zostore::shell::layout
