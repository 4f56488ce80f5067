#pragma once
// The command numbers code names, each with one name. Every other number appears only in the rows
// of the command table (ui/command_table.cpp), which say everything else about a command; the parts
// below ui/ (the view, the telescope) never see a command number: the registrations map numbers to
// their plain operations.
namespace celes {

// Files, place and dialogs.
inline constexpr int kCmdPlace = 32774;
inline constexpr int kCmdOptions = 32775;
inline constexpr int kCmdDateTime = 32776;
inline constexpr int kCmdColours = 32823;
inline constexpr int kCmdTodaysData = 32826;
inline constexpr int kCmdConstellations = 32838;
inline constexpr int kCmdAddins = 32850;
inline constexpr int kCmdSaveChart = 32877;
inline constexpr int kCmdAbout = 57664;
inline constexpr int kCmdExit = 57665;

// Time.
inline constexpr int kCmdSetNow = 32777;
inline constexpr int kCmdClockFollowing = 32778;
inline constexpr int kCmdRotate = 32839;
inline constexpr int kCmdStepAnimation = 32875;
inline constexpr int kCmdStepDialog = 32876;
inline constexpr int kCmdHourForward = 32929;
inline constexpr int kCmdHourBack = 32930;
inline constexpr int kCmdTenMinutesForward = 32931;
inline constexpr int kCmdTenMinutesBack = 32932;

// The view's choices and layers that code names.
inline constexpr int kCmdAllConstellations = 32818;
inline constexpr int kCmdAllStars = 32819;
inline constexpr int kCmdSelectOnly = 32820;
inline constexpr int kCmdDisplayMenuChoice = 32821;
inline constexpr int kCmdFigures = 32822;
inline constexpr int kCmdPopupMagnitude = 32824;
inline constexpr int kCmdCloseMenu = 32825;
inline constexpr int kCmdLines = 32840;
inline constexpr int kCmdNoTurn = 32842;
inline constexpr int kCmdTapMenuChoice = 32851;
inline constexpr int kCmdZoomView = 32860;
inline constexpr int kCmdFullScreen = 32865;
inline constexpr int kCmdTelescopeMenuChoice = 32871;

// The colour modes.
inline constexpr int kCmdSizeUp = 32790;
inline constexpr int kCmdColour = 32791;
inline constexpr int kCmdBlackWhite = 32807;  // "白黒表示"
inline constexpr int kCmdBrighter = 32813;
inline constexpr int kCmdBlueStars = 32814;
inline constexpr int kCmdRedMode = 32857;
inline constexpr int kCmdWhiteBlack = 32858;  // "黒白表示"
inline constexpr int kCmdColourMenuPopup = 32962;

// Taps, the hand and the user's own data.
inline constexpr int kCmdRegisterTap = 32852;
inline constexpr int kCmdEditTaps = 32854;
inline constexpr int kCmdShowNavigator = 32862;
inline constexpr int kCmdActionMode = 32867;
inline constexpr int kCmdTurnLeft = 32879;
inline constexpr int kCmdTurnRight = 32880;
inline constexpr int kCmdRaise = 32881;
inline constexpr int kCmdLower = 32882;
inline constexpr int kCmdZoomIn = 32883;
inline constexpr int kCmdZoomOut = 32884;
inline constexpr int kCmdMessierImages = 32921;
inline constexpr int kCmdDescription = 32933;
inline constexpr int kCmdMark1 = 32937;
inline constexpr int kCmdMark2 = 32938;
inline constexpr int kCmdMark3 = 32939;
inline constexpr int kCmdClearMarks = 32940;
inline constexpr int kCmdZoomHere = 32943;
inline constexpr int kCmdAboveHorizon = 32944;
inline constexpr int kCmdDescriptionEdit = 32960;
inline constexpr int kCmdDescriptionSpeech = 32963;
inline constexpr int kCmdFind = 32990;           // find by name
inline constexpr int kCmdAltitudeGraph = 32991;  // the tapped object's altitude through the night

// The telescope.
inline constexpr int kCmdTelescopePanel = 32868;
inline constexpr int kCmdSlewHere = 32870;
inline constexpr int kCmdTelescopePosition = 32872;
inline constexpr int kCmdTelescopeControl = 32873;
inline constexpr int kCmdTraceOverwrite = 32874;
inline constexpr int kCmdTelescopeLeft = 32887;
inline constexpr int kCmdTelescopeFast = 32888;
inline constexpr int kCmdTelescopeSlow = 32889;
inline constexpr int kCmdTelescopeRight = 32890;
inline constexpr int kCmdTelescopeUp = 32891;
inline constexpr int kCmdTelescopeDown = 32892;

// The frame: menu and bars.
inline constexpr int kCmdMenuSwitch = 32830;
inline constexpr int kCmdSetSwitch = 32878;
inline constexpr int kCmdSetMenuOption = 32907;
inline constexpr int kCmdToolBarSetMenu = 32908;
inline constexpr int kCmdToolBarOption = 32909;
inline constexpr int kCmdToolNext = 32910;
inline constexpr int kCmdToolPrevious = 32916;

}  // namespace celes
