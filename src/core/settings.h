// The option values read across the program, with their defaults.
#pragma once

#include <array>
#include <string>

namespace vorn::core {

// Colour roles, in the order of the settings dialog's list.
enum ColorRole {
    kColorBackground = 0,
    kColorAxes,
    kColorLabels,
    kColorNodes,
    kColorActive,
    kColorMarkedFaces,
    kColorPicked,
    kColorProjections,
    kColorRoleCount
};

struct Settings {
    int answerDigits = 6;        // CharAfterP
    int integrationPoints = 50;  // ColXStep
    int qualityPosition = 50;    // QualityPos; Quality = (position + 1) / 100
    bool anglesInRadians = true; // UgolType item 0
    bool DrawContur = true;
    bool DrawFName = true;
    bool IsUsel = true;
    bool isProject = false;
    bool PutVerNum = false;
    bool PutLetters = true;
    bool PutNumObj = true;
    bool IsOsi = true;
    bool AutoZoom = true;
    std::array<std::string, 3> zoomText = {"100", "100", "100"}; // ZoomXE..ZoomZE
    bool InCenter = true;
    std::array<std::string, 3> centerText = {"0", "0", "0"}; // CenterXE..CenterZE
    std::array<std::string, 6> lightText = {"-10", "-10", "10", "10", "10", "-10"}; // Edit1..6
    // The two light positions of the half-tone picture as numbers (x, y, z of each).
    std::array<double, 6> lightPosition = {-10, -10, 10, 10, 10, -10};
    bool IsReadLast = true;
    std::string languageFile; // none chosen
    std::array<int, kColorRoleCount> colors = {15, 7, 9, 12, 12, 7, 5, 7};
    // Mesh counts of surfaces of revolution: Quality * 25 and Quality * 40, rounded half to
    // even, at least 5 (the values for the default quality 0.51).
    int revolutionPoints = 13;
    int revolutionRings = 20;
    // Picture lines and label fonts for projectors and large rooms (LineWidth, LabelFontSize);
    // the defaults draw the classic picture.
    int lineWidth = 1;      // pixels, kMinLineWidth..kMaxLineWidth
    int labelFontSize = 10; // points, kMinLabelFontSize..kMaxLabelFontSize
    // How the wire-frame picture draws what lies behind faces (HiddenLines): solid as the
    // rest, dashed, or not at all.
    int hiddenLines = 0; // kHiddenSolid..kHiddenRemoved
    // Round solids and surfaces drawn by their outlines (silhouettes, rims, creases) instead of
    // every mesh line (Outlines), as figures for print draw them.
    bool outlines = false;
    // How far from the pointer the picture picks a vertex or an edge (PickRadius), in logical
    // pixels: one pixel of aim is a hunt on a projector or a touch screen.
    int pickRadius = 4; // kMinPickRadius..kMaxPickRadius

    double Quality() const { return (qualityPosition + 1) / 100.0; }
    // RGB (0x00BBGGRR) of a colour role through the palette.
    unsigned colorRgb(ColorRole role) const;
};

inline constexpr int kMinLineWidth = 1, kMaxLineWidth = 4;
inline constexpr int kMinLabelFontSize = 6, kMaxLabelFontSize = 24;
inline constexpr int kHiddenSolid = 0, kHiddenDashed = 1, kHiddenRemoved = 2;
inline constexpr int kMinPickRadius = 1, kMaxPickRadius = 10;

// Captions of the colour roles as the settings dialog lists them.
extern const std::array<const char*, kColorRoleCount> kColorRoleNames;

} // namespace vorn::core
