#include "config/config_dialog_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "config/config_dialog.h"
#include "config/dialog_ids.h"
#include "config/snap_slider_win.h"
#include "render/layout_editing.h"
#include "render/gauge_display_win.h"
#include "render/skin_loader_win.h"
#include "shell/log_playback_win.h"
#include "shell/main_window_win.h"
#include "shell/program_win.h"
#include "shell/resource_ids.h"
#include "skin/skin_file.h"
#include "skin/skin_folder_win.h"
#include "sources/obd_feed_win.h"
#include "sources/system_time_win.h"
#include "state/app_state.h"
#include "state/nav_state.h"
#include "trip/trip_end_win.h"

namespace {

// The dialog's own state while it is open: the skin as it was when it opened (or when the last
// skin switch loaded it), and whether the closing sequence has run.
struct OpenDialog {
    SkinRecord skinAtOpen{};
    bool closed = false;
    std::unique_ptr<SnapSliderState> slider;
};
OpenDialog gDialog;
HHOOK gKeyHook = nullptr;

HWND Dialog() {
    return static_cast<HWND>(App().configDialog);
}
HWND MainWindow() {
    return static_cast<HWND>(App().mainWindow);
}

void SetNumber(HWND dialog, int id, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%u", value);
    SetDlgItemTextA(dialog, id, text);
}

LRESULT Send(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

// The text of a list's selected entry, at most `limit` characters; empty without a selection.
std::string SelectedText(HWND dialog, int id, std::size_t limit) {
    const LRESULT index = Send(dialog, id, CB_GETCURSEL);
    if (index == CB_ERR) return std::string();
    const LRESULT length = Send(dialog, id, CB_GETLBTEXTLEN, WPARAM(index));
    if (length == CB_ERR || length <= 0) return std::string();
    std::string text(std::size_t(length) + 1, '\0');
    Send(dialog, id, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(std::strlen(text.c_str()));
    if (text.size() > limit) text.resize(limit);
    return text;
}

void SelectExact(HWND dialog, int id, const char* text) {
    const LRESULT index =
        Send(dialog, id, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text));
    Send(dialog, id, CB_SETCURSEL, index == CB_ERR ? WPARAM(-1) : WPARAM(index));
}

void AddUnique(HWND dialog, int id, const char* text) {
    if (Send(dialog, id, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text)) == CB_ERR)
        Send(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

int CALLBACK AddFontFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM dialog) {
    AddUnique(reinterpret_cast<HWND>(dialog), IDC_FONT_LIST, font->lfFaceName);
    return 1;
}

void FillFontList(HWND dialog) {
    HDC dc = GetDC(dialog);
    if (dc == nullptr) return;
    EnumFontsA(dc, nullptr, AddFontFace, reinterpret_cast<LPARAM>(dialog));
    ReleaseDC(dialog, dc);
    SelectExact(dialog, IDC_FONT_LIST, "Arial");
}

// Adds the names of a folder's entries that `offer` accepts to a list.
template <typename Offer>
void FillFromFolder(HWND dialog, int id, const std::string& pattern, Offer offer) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (offer(entry))
            Send(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.cFileName));
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

void FillLogList(HWND dialog) {
    const std::string folder = LogFolderOf(App().playbackPath);
    FillFromFolder(dialog, IDC_LOG_LIST, folder + "\\*.gps", [](const WIN32_FIND_DATAA& e) {
        const DWORD a = e.dwFileAttributes;
        return OffersLogFile(e.cFileName, (a & FILE_ATTRIBUTE_DIRECTORY) != 0,
                             (a & FILE_ATTRIBUTE_HIDDEN) != 0, (a & FILE_ATTRIBUTE_OFFLINE) != 0);
    });
}

void FillSkinList(HWND dialog) {
    FillFromFolder(dialog, IDC_SKIN_LIST, ProgramFolderPath() + "\\*",
                   [](const WIN32_FIND_DATAA& e) {
                       return OffersSkinFolder(
                           e.cFileName, (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
                   });
}

void FillKindControls(HWND dialog) {
    AppState& app = App();
    const KindControlValues v = PrepareKindControls(app.skin, app.dialogKind);
    CheckDlgButton(dialog, IDC_SHOWN, v.shown ? BST_CHECKED : BST_UNCHECKED);

    struct UpDown {
        int id;
        int32_t max;
        uint16_t position;
    };
    const UpDown upDowns[] = {{IDC_PARAM_A, kParamUpDownMax, v.paramA},
                              {IDC_PARAM_B, kParamUpDownMax, v.paramB},
                              {IDC_PARAM_C, kParamUpDownMax, v.paramC},
                              {IDC_PARAM_D, v.paramDMax, v.paramD}};
    for (const UpDown& u : upDowns) {
        Send(dialog, u.id, UDM_SETRANGE32, 0, u.max);
        Send(dialog, u.id, UDM_SETPOS32, 0, u.position);
    }

    const int tracks[] = {IDC_ALPHA, IDC_RED, IDC_GREEN, IDC_BLUE};
    const int values[] = {IDC_ALPHA_VALUE, IDC_RED_VALUE, IDC_GREEN_VALUE, IDC_BLUE_VALUE};
    for (int c = kChannelBlue; c >= kChannelAlpha; --c) {
        Send(dialog, tracks[c], TBM_SETRANGEMAX, FALSE, kChannelMax);
        Send(dialog, tracks[c], TBM_SETPOS, TRUE, v.channels[c]);
    }
    for (int c = kChannelAlpha; c <= kChannelBlue; ++c)
        SetNumber(dialog, values[c], v.channels[c]);

    SetNumber(dialog, IDC_X_VALUE, v.x);
    SetNumber(dialog, IDC_Y_VALUE, v.y);
    SetNumber(dialog, IDC_PARAM_A_VALUE, v.paramA);
    SetNumber(dialog, IDC_PARAM_B_VALUE, v.paramB);
    SetNumber(dialog, IDC_PARAM_C_VALUE, v.paramC);
    SetNumber(dialog, IDC_PARAM_D_VALUE, v.paramD);

    SelectExact(dialog, IDC_FONT_LIST, v.fontName);
    SelectExact(dialog, IDC_SKIN_LIST, app.skinFolder);

    const int labels[] = {IDC_LABEL_B, IDC_LABEL_A, IDC_LABEL_C, IDC_LABEL_D};
    for (int slot = 0; slot < kParamLabelCount; ++slot)
        SetDlgItemTextA(dialog, labels[slot], v.labels[slot]);

    Send(dialog, IDC_OPACITY, TBM_SETPOS, TRUE, v.opacity);
}

// The range follows the size of the last log opened; 32-bit, so a log above 1 MiB does not wrap.
void SetProgressRange(HWND dialog) {
    Send(dialog, IDC_PROGRESS, PBM_SETRANGE32, 0, LPARAM(PlaybackProgressMaximum()));
}

void PlayChosenLog(HWND dialog) {
    const std::string path =
        LogPathFor(App().playbackPath, SelectedText(dialog, IDC_LOG_LIST, kMaxLogNameChars + 1));
    if (path.empty()) return;
    StartPlayback(path.c_str());
    SetProgressRange(dialog);
}

void ApplyOpacity(uint32_t opacity) {
    const LayeredOpacity o = OpacityAttributes(opacity);
    SetLayeredWindowAttributes(MainWindow(), RGB(0, 0, 0), o.alpha,
                               o.useAlpha ? (LWA_COLORKEY | LWA_ALPHA) : LWA_COLORKEY);
}

// The template has no position of its own, which would put the dialog over the gauges it edits:
// it opens just below the cluster, or above it, or beside it, whichever fits the work area.
void PlaceBesideCluster(HWND dialog) {
    RECT cluster, own, work;
    if (!GetWindowRect(MainWindow(), &cluster) || !GetWindowRect(dialog, &own)) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(MainWindow(), MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    work = monitor.rcWork;
    const LONG w = own.right - own.left, h = own.bottom - own.top;
    const LONG x = std::max(work.left, std::min(cluster.left, work.right - w));
    const POINT places[] = {
        {x, cluster.bottom}, {x, cluster.top - h}, {cluster.right, cluster.top}};
    for (const POINT& p : places) {
        if (p.x >= work.left && p.y >= work.top && p.x + w <= work.right &&
            p.y + h <= work.bottom) {
            SetWindowPos(dialog, nullptr, p.x, p.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return;
        }
    }
}

void InitDialog(HWND dialog) {
    AppState& app = App();
    gDialog = OpenDialog{};
    gDialog.skinAtOpen = app.skin;
    app.configDialog = dialog;

    Send(dialog, IDC_OPACITY, TBM_SETRANGEMAX, FALSE, 255);
    Send(dialog, IDC_PLAY_SPEED, TBM_SETRANGEMAX, FALSE, kPlaySpeedTrackMax);
    Send(dialog, IDC_PLAY_SPEED, TBM_SETPOS, TRUE, TrackFromPlaySpeed(app.playSpeed));
    SetProgressRange(dialog);
    gDialog.slider = std::make_unique<SnapSliderState>();
    CreateSnapSlider(dialog, *gDialog.slider, 8, 46, 64, 64);

    FillFontList(dialog);
    CheckDlgButton(dialog, IDC_FAST, app.drawRate == kFastDrawRate ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_LILLIPUT, HasOption(app, kOptionStretch));
    CheckDlgButton(dialog, IDC_METRIC, HasOption(app, kOptionMetric));
    CheckDlgButton(dialog, IDC_FIXED_NORTH, HasOption(app, kOptionFixedNorth));
    FillLogList(dialog);
    FillSkinList(dialog);
    FillKindControls(dialog);

    for (int kind = 0; kind < kGaugeKindCount; ++kind)
        Send(dialog, IDC_KIND_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GaugeKindName(kind)));
    Send(dialog, IDC_KIND_LIST, CB_SETCURSEL, WPARAM(app.dialogKind));
    PlaceBesideCluster(dialog);
}

// OK, Escape, the close box, and the end of the program while the dialog is open: the edited
// skin is saved when it changed, the trip ends now and the next one starts at the next fix.
void RunClosingSequence() {
    if (gDialog.closed) return;
    gDialog.closed = true;
    AppState& app = App();
    SaveSkinIfChanged(app.skin, gDialog.skinAtOpen, SkinFolderPath(app.skinFolder));
    EndTrip(Nav(), app.tripLogPath, LocalTimeNow16());
}

void ResizeMainWindow() {
    AppState& app = App();
    UINT flags = 0;
    if (app.windowRect.left <= 0) flags |= SWP_NOMOVE;
    SetWindowPos(MainWindow(), HasOption(app, kOptionAlwaysOnTop) ? HWND_TOPMOST : HWND_TOP,
                 app.windowRect.left, app.windowRect.top, app.frameWidth,
                 StretchedHeight(app.frameHeight, HasOption(app, kOptionStretch)), flags);
}

void SwitchSkin(HWND dialog) {
    AppState& app = App();
    const std::string name = SelectedText(dialog, IDC_SKIN_LIST, kSkinFolderSize);
    if (!OffersSkinFolder(name, true)) return;
    SwitchSkinFolder(app.skin, app.skinFolder, sizeof app.skinFolder, name.c_str());
    LoadSkin(app, Display());
    // The old skin was written just now; what is compared at closing is the one just loaded.
    gDialog.skinAtOpen = app.skin;
    RequestObdPids(Obd(), app.skin);
    FillKindControls(dialog);
}

void OnCommand(HWND dialog, int id, int notification) {
    AppState& app = App();
    GaugeDisplay& display = Display();
    const bool listChanged = notification == CBN_SELCHANGE;
    switch (id) {
    case IDCANCEL:
        RunClosingSequence();
        DestroyWindow(dialog);
        break;
    case IDC_METRIC:
        app.options ^= kOptionMetric;
        SetObdMetric(Obd(), HasOption(app, kOptionMetric));
        break;
    case IDC_FIXED_NORTH:
        app.options ^= kOptionFixedNorth;
        break;
    case IDC_SHOWN:
        ToggleKindShown(app.skin, app.dialogKind);
        Highlight(display, app.dialogKind);
        break;
    case IDC_STOP:
        StopPlayback();
        break;
    case IDC_LOG_LIST:
        if (listChanged) PlayChosenLog(dialog);
        break;
    case IDC_SET_HOME:
        app.home = GeoPoint{Nav().snapshot->latitude, Nav().snapshot->longitude};
        break;
    case IDC_RESET_ODO:
        app.odometer = 0.0f;
        SendObdOdometerReset();
        break;
    case IDC_FAST:
        app.drawRate = ToggledDrawRate(app.drawRate);
        SetTimer(MainWindow(), kFrameTimer, app.drawRate, nullptr);
        break;
    case IDC_LILLIPUT:
        app.options ^= kOptionStretch;
        ResizeMainWindow();
        break;
    case IDC_FONT_LIST:
        if (listChanged) {
            const std::string font = SelectedText(dialog, IDC_FONT_LIST, kMaxFontNameChars);
            GaugeRecord& record = KindRecord(app.skin, app.dialogKind);
            std::memset(record.fontName, 0, sizeof record.fontName);
            std::memcpy(record.fontName, font.data(), font.size());
            DropKindFont(display, app.dialogKind);
        }
        break;
    case IDC_SKIN_LIST:
        if (listChanged) SwitchSkin(dialog);
        break;
    case IDC_KIND_LIST:
        if (listChanged) {
            const LRESULT index = Send(dialog, IDC_KIND_LIST, CB_GETCURSEL);
            if (index >= 0 && index < kGaugeKindCount) {
                app.dialogKind = int32_t(index);
                FillKindControls(dialog);
                ChooseInList(display, app.dialogKind);
            }
        }
        break;
    default:
        break;
    }
}

// The four parameter up-downs; the first two size the kind's text, so its font is rebuilt.
struct ParamControl {
    int upDown;
    int value;
    uint16_t GaugeRecord::*field;
    bool sizesFont;
};
constexpr ParamControl kParamControls[] = {
    {IDC_PARAM_A, IDC_PARAM_A_VALUE, &GaugeRecord::paramA, true},
    {IDC_PARAM_B, IDC_PARAM_B_VALUE, &GaugeRecord::paramB, true},
    {IDC_PARAM_C, IDC_PARAM_C_VALUE, &GaugeRecord::paramC, false},
    {IDC_PARAM_D, IDC_PARAM_D_VALUE, &GaugeRecord::paramD, false},
};

void OnScroll(HWND dialog, HWND control) {
    AppState& app = App();
    GaugeDisplay& display = Display();
    const int id = GetDlgCtrlID(control);
    GaugeRecord& record = KindRecord(app.skin, app.dialogKind);
    for (const ParamControl& param : kParamControls) {
        if (param.upDown != id) continue;
        if (param.sizesFont) DropKindFont(display, app.dialogKind);
        record.*param.field = uint16_t(Send(dialog, id, UDM_GETPOS32));
        SetNumber(dialog, param.value, record.*param.field);
        Highlight(display, app.dialogKind);
        return;
    }
    const int32_t position = int32_t(Send(dialog, id, TBM_GETPOS));
    switch (id) {
    case IDC_ALPHA:
    case IDC_RED:
    case IDC_GREEN:
    case IDC_BLUE: {
        const ColorChannel channel = ColorChannel(id - IDC_ALPHA);
        record.color = WithChannel(record.color, channel, position);
        SetNumber(dialog, IDC_ALPHA_VALUE + channel, ChannelOf(record.color, channel));
        break;
    }
    case IDC_OPACITY:
        app.skin.opacity = (app.skin.opacity & ~0xFFu) | uint32_t(position & 0xFF);
        ApplyOpacity(app.skin.opacity);
        break;
    case IDC_PLAY_SPEED:
        app.playSpeed = PlaySpeedFromTrack(position);
        break;
    default:
        break;
    }
}

void OnSliderReport(HWND dialog, const SnapSliderState& slider) {
    const SliderOutcome outcome = SliderReport(Display(), App(), slider.outX, slider.outY);
    if (outcome.showPosition) {
        SetNumber(dialog, IDC_X_VALUE, unsigned(outcome.x));
        SetNumber(dialog, IDC_Y_VALUE, unsigned(outcome.y));
    }
    if (outcome.takeOverKind >= 0) {
        Send(dialog, IDC_KIND_LIST, CB_SETCURSEL, WPARAM(outcome.takeOverKind));
        FillKindControls(dialog);
    }
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lParam != 0) OnScroll(dialog, reinterpret_cast<HWND>(lParam));
        break;
    case kSnapSliderReportMessage:
        if (gDialog.slider) OnSliderReport(dialog, *gDialog.slider);
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(dialog, &paint);
        EndPaint(dialog, &paint);
        break;
    }
    case WM_DESTROY:
        // Destroyed with its owner when the program ends: the edits are saved all the same.
        RunClosingSequence();
        EndDrag(Display());
        // The slider, a child, is gone by now; its state goes with the dialog.
        gDialog.slider.reset();
        App().configDialog = nullptr;
        break;
    default:
        break;
    }
    return FALSE;
}

// The main window runs in a dialog box's modal loop, which gives only its own dialog keyboard
// handling; the loop offers every message to the thread's message filter first.
LRESULT CALLBACK DialogKeys(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_DIALOGBOX && Dialog() != nullptr) {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
            (msg->hwnd == Dialog() || IsChild(Dialog(), msg->hwnd)) &&
            IsDialogMessageA(Dialog(), msg))
            return TRUE;
    }
    return CallNextHookEx(gKeyHook, code, wParam, lParam);
}

} // namespace

void OpenConfigDialog(HWND mainWindow) {
    if (Dialog() != nullptr) return;
    static const bool controlsReady = [] {
        INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                     ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)controlsReady;
    CreateDialogParamA(static_cast<HINSTANCE>(App().instance), MAKEINTRESOURCEA(IDD_CONFIGURATION),
                       mainWindow, ConfigDialogProc, 0);
}

void InstallConfigDialogKeys() {
    if (gKeyHook == nullptr)
        gKeyHook = SetWindowsHookExA(WH_MSGFILTER, DialogKeys, nullptr, GetCurrentThreadId());
}

void RemoveConfigDialogKeys() {
    if (gKeyHook != nullptr) UnhookWindowsHookEx(gKeyHook);
    gKeyHook = nullptr;
}
