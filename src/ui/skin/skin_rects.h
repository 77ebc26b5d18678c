// The skin rectangles that do or show something of their own, named by their index in the
// page's rectangle array: the frame buttons (m_posMain 0..19, on every page) and the buttons of
// the main (m_posMain), advanced (m_posAdv) and colour (m_posColor) pages. Painting and the
// click dispatch both take them from here, so a button is lit where it is clicked. The macro
// buttons of the advanced page (0..7, 28, 38) are named with the macro commands.
#pragma once

namespace ui {

// Frame buttons.
inline constexpr int FrameHide = 2;
inline constexpr int FrameApply = 3;
inline constexpr int FrameProfileOffset = 3;  // profile p (1..4) is frame button p + 3
inline constexpr int FrameProfile1 = 4;
inline constexpr int FrameProfile4 = 7;
inline constexpr int TabMain = 9;
inline constexpr int TabAdvanced = 10;
inline constexpr int TabColor = 11;
inline constexpr int FrameMinimise = 12;
inline constexpr int FrameClose = 13;
inline constexpr int FrameImport = 14;
inline constexpr int FrameExport = 15;
inline constexpr int FrameFactory = 16;
inline constexpr int FrameChinese = 17;
inline constexpr int FrameEnglish = 18;
inline constexpr int FrameWebPage = 19;

// Main page.
inline constexpr int MainSlotFirst = 22;  // button slots K0..K6: 22..28
inline constexpr int MainSlotLast = 28;
inline constexpr int MainSlotCompanionOffset = 116;  // 138..144 light up with their slot
inline constexpr int MainWheelOff = 32;
inline constexpr int MainWheelOn = 33;
inline constexpr int MainModeOn = 37;
inline constexpr int MainModeOff = 38;
inline constexpr int MainDpiColorFirst = 41;  // colour swatch of DPI level 0..5: 41..46
inline constexpr int MainDpiColorLast = 46;
inline constexpr int MainDpiEnableFirst = 47;  // enable mark of DPI level 0..5: 47..52
inline constexpr int MainDpiEnableLast = 52;
inline constexpr int MainDpiLevelFirst = 60;  // DPI level 0..5: 60..65
inline constexpr int MainDpiLevelLast = 65;
inline constexpr int MainDpiCellFirst = 66;  // 6 levels x 12 slider cells: 66..137
inline constexpr int MainDpiCellLast = 137;
inline constexpr int DpiCellsPerLevel = 12;

// Advanced page.
inline constexpr int AdvDpiSpeedFirst = 8;  // DPI_SPEED 0..9: 8..17
inline constexpr int AdvDpiSpeedLast = 17;
inline constexpr int AdvWheelSpeedFirst = 18;  // WHEEL_SPEED 0..9: 18..27
inline constexpr int AdvWheelSpeedLast = 27;
inline constexpr int SpeedSteps = 10;
inline constexpr int AdvFireTrack = 30;
inline constexpr int AdvFireUp = 31;
inline constexpr int AdvFireDown = 32;
inline constexpr int AdvFireCaption = 33;
inline constexpr int AdvUsbSpeedFirst = 34;  // USB_SPEED 0..3: 34..37
inline constexpr int AdvUsbSpeedLast = 37;
inline constexpr int UsbSpeedSteps = 4;
inline constexpr int AdvKeyDownCaption = 43;
inline constexpr int AdvKeyUpCaption = 44;
inline constexpr int MaxFireTime = 300;

// Colour page.
inline constexpr int ColorCycleLast = 6;     // cycle colours 0..6
inline constexpr int ColorLedTypeFirst = 7;  // LED_TYPE 0..3: 7..10
inline constexpr int ColorLedTypeLast = 10;
inline constexpr int LedTypeCount = 4;
inline constexpr int ColorCycTimeFirst = 11;  // cycle time t is rectangle 16 - t
inline constexpr int ColorCycTimeLast = 16;
inline constexpr int MaxCycleTime = 5;
inline constexpr int ColorDpiCaption = 18;
inline constexpr int ColorSwatch = 32;

}  // namespace ui
