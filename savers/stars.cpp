// NOVRA Stars: a star field flying towards the viewer. The screen-saver
// library owns WinMain and the command line; this file supplies the window
// procedure, the settings dialog and the drawing.
#include <windows.h>
#include <commctrl.h>
#include <scrnsave.h>
#include <math.h>
#include <string.h>
#include "stars_resource.h"

namespace {

const char kRegKey[] = "Software\\NOVRA\\Stars";
const DWORD kMinCount = 50, kMaxCount = 1500, kDefCount = 600;
const DWORD kMinSpeed = 1, kMaxSpeed = 10, kDefSpeed = 4;
const UINT_PTR kFrameTimer = 1;
const UINT kFrameMs = 33;
const float kNearZ = 0.02f;

struct Settings {
    DWORD count;
    DWORD speed;
};

struct Star {
    float x, y, z;  // depth z runs from 1 (far) down to kNearZ
    BYTE r, g, b;
};

// Back buffer: a DIB section so stars can be blended straight into memory
// and the whole frame copied with a single BitBlt (no flicker).
struct Frame {
    HDC dc;
    HBITMAP bmp, oldBmp;
    DWORD *px;
    int w, h;
};

Settings g_set = {kDefCount, kDefSpeed};
Star g_stars[kMaxCount];
Frame g_frame;
DWORD g_lastTick;
unsigned g_seed = 1;

DWORD Clamp(DWORD v, DWORD lo, DWORD hi) { return v < lo ? lo : (v > hi ? hi : v); }

DWORD ReadDword(HKEY key, const char *name, DWORD def) {
    DWORD v = def, size = sizeof v, type = 0;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE *)&v, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return def;
    return v;
}

// Missing or out-of-range values fall back so a hand-edited key cannot
// break the saver.
Settings LoadSettings() {
    Settings s = {kDefCount, kDefSpeed};
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRegKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        s.count = Clamp(ReadDword(key, "Count", kDefCount), kMinCount, kMaxCount);
        s.speed = Clamp(ReadDword(key, "Speed", kDefSpeed), kMinSpeed, kMaxSpeed);
        RegCloseKey(key);
    }
    return s;
}

void SaveSettings(const Settings &s) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRegKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "Count", 0, REG_DWORD, (const BYTE *)&s.count, sizeof s.count);
    RegSetValueExA(key, "Speed", 0, REG_DWORD, (const BYTE *)&s.speed, sizeof s.speed);
    RegCloseKey(key);
}

// Small private generator: rand() state is per-CRT and its range differs
// between runtimes.
float Random01() {
    g_seed = g_seed * 1664525u + 1013904223u;
    return (float)(g_seed >> 8) / 16777216.0f;
}

// New stars start inside the visible cone so none are wasted off-screen on
// wide or tall windows.
void SpawnStar(Star &s, float z) {
    int longest = g_frame.w > g_frame.h ? g_frame.w : g_frame.h;
    float ex = longest ? (float)g_frame.w / longest : 1.0f;
    float ey = longest ? (float)g_frame.h / longest : 1.0f;
    s.x = (Random01() * 2.0f - 1.0f) * ex * z;
    s.y = (Random01() * 2.0f - 1.0f) * ey * z;
    s.z = z;
    // Mostly white, some blue-white and some warm stars.
    float tint = Random01();
    s.r = (BYTE)(tint < 0.25f ? 170 : 255);
    s.g = (BYTE)(tint > 0.85f ? 220 : (tint < 0.25f ? 200 : 245));
    s.b = (BYTE)(tint > 0.85f ? 170 : 255);
}

// All slots are filled, so a window that grows can show more stars at once.
void ResetField() {
    g_seed = GetTickCount() | 1u;
    for (DWORD i = 0; i < kMaxCount; ++i) SpawnStar(g_stars[i], kNearZ + Random01());
}

// The setting is meant for a full screen; a small preview with as many stars
// would look like noise, so thin them out with the window's size.
DWORD VisibleCount() {
    float share = (float)g_frame.w * (float)g_frame.h / (800.0f * 600.0f);
    float scale = share >= 1.0f ? 1.0f : sqrtf(share);
    if (scale < 0.35f) scale = 0.35f;
    return (DWORD)((float)g_set.count * scale);
}

void FreeFrame() {
    if (!g_frame.dc) return;
    SelectObject(g_frame.dc, g_frame.oldBmp);
    DeleteObject(g_frame.bmp);
    DeleteDC(g_frame.dc);
    memset(&g_frame, 0, sizeof g_frame);
}

void ResizeFrame(HWND hwnd, int w, int h) {
    FreeFrame();
    if (w <= 0 || h <= 0) return;
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // negative height: rows run top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC wdc = GetDC(hwnd);
    void *bits = NULL;
    g_frame.bmp = CreateDIBSection(wdc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    g_frame.dc = g_frame.bmp ? CreateCompatibleDC(wdc) : NULL;
    ReleaseDC(hwnd, wdc);
    if (!g_frame.dc) {
        if (g_frame.bmp) DeleteObject(g_frame.bmp);
        memset(&g_frame, 0, sizeof g_frame);
        return;
    }
    g_frame.oldBmp = (HBITMAP)SelectObject(g_frame.dc, g_frame.bmp);
    g_frame.px = (DWORD *)bits;
    g_frame.w = w;
    g_frame.h = h;
}

// Additive blend with saturation, so overlapping streaks glow rather than
// overwrite each other.
void AddPixel(int x, int y, const Star &s, float k) {
    if (x < 0 || y < 0 || x >= g_frame.w || y >= g_frame.h || k <= 0.0f) return;
    DWORD &p = g_frame.px[y * g_frame.w + x];
    int r = (int)((p >> 16) & 0xFF) + (int)(s.r * k);
    int g = (int)((p >> 8) & 0xFF) + (int)(s.g * k);
    int b = (int)(p & 0xFF) + (int)(s.b * k);
    p = (DWORD)((r > 255 ? 255 : r) << 16 | (g > 255 ? 255 : g) << 8 | (b > 255 ? 255 : b));
}

// Streak from the tail (dim) to the head (bright).
void DrawStreak(float x0, float y0, float x1, float y1, const Star &s, float bright) {
    float dx = x1 - x0, dy = y1 - y0;
    float adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    int steps = (int)(adx > ady ? adx : ady);
    if (steps > 400) steps = 400;
    for (int i = 0; i <= steps; ++i) {
        float t = steps ? (float)i / steps : 1.0f;
        AddPixel((int)(x0 + dx * t), (int)(y0 + dy * t), s, bright * t * t);
    }
}

float ZPerSecond() { return 0.08f + 0.07f * (float)g_set.speed; }

// A 2x2 head for nearer stars, ringed by a faint glow for the nearest.
void DrawHead(int x, int y, const Star &s, float bright, bool glow) {
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) AddPixel(x + dx, y + dy, s, bright);
    if (!glow) return;
    for (int i = 0; i < 2; ++i) {
        AddPixel(x - 1, y + i, s, bright * 0.4f);
        AddPixel(x + 2, y + i, s, bright * 0.4f);
        AddPixel(x + i, y - 1, s, bright * 0.4f);
        AddPixel(x + i, y + 2, s, bright * 0.4f);
    }
}

void DrawStar(const Star &s, float focal, float cx, float cy) {
    float tailZ = s.z + ZPerSecond() * 0.07f;
    float hx = cx + s.x / s.z * focal, hy = cy + s.y / s.z * focal;
    float tx = cx + s.x / tailZ * focal, ty = cy + s.y / tailZ * focal;
    float closeness = 1.0f - s.z;
    float bright = 0.3f + 0.7f * closeness * closeness;
    DrawStreak(tx, ty, hx, hy, s, bright);
    if (s.z < 0.5f) DrawHead((int)hx, (int)hy, s, bright, s.z < 0.2f);
}

void StepAndRender() {
    DWORD now = GetTickCount();
    DWORD ms = now - g_lastTick;
    g_lastTick = now;
    if (ms > 100) ms = 100;  // after a stall, don't jump the whole field
    if (!g_frame.dc) return;
    memset(g_frame.px, 0, (size_t)g_frame.w * g_frame.h * sizeof(DWORD));
    float focal = 0.5f * (float)(g_frame.w > g_frame.h ? g_frame.w : g_frame.h);
    float cx = g_frame.w * 0.5f, cy = g_frame.h * 0.5f;
    float dz = ZPerSecond() * (float)ms / 1000.0f;
    for (DWORD i = 0, n = VisibleCount(); i < n; ++i) {
        Star &s = g_stars[i];
        s.z -= dz;
        float sx = s.x / s.z * focal, sy = s.y / s.z * focal;
        if (s.z < kNearZ || sx < -cx || sx > cx || sy < -cy || sy > cy) {
            SpawnStar(s, 1.0f);
            continue;
        }
        DrawStar(s, focal, cx, cy);
    }
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (g_frame.dc)
        BitBlt(dc, 0, 0, g_frame.w, g_frame.h, g_frame.dc, 0, 0, SRCCOPY);
    EndPaint(hwnd, &ps);
}

void InitTrackbar(HWND dlg, int id, DWORD lo, DWORD hi, DWORD pos, DWORD tick) {
    SendDlgItemMessageA(dlg, id, TBM_SETRANGE, FALSE, MAKELPARAM(lo, hi));
    SendDlgItemMessageA(dlg, id, TBM_SETTICFREQ, tick, 0);
    SendDlgItemMessageA(dlg, id, TBM_SETPOS, TRUE, (LPARAM)pos);
}

DWORD TrackbarPos(HWND dlg, int id) {
    return (DWORD)SendDlgItemMessageA(dlg, id, TBM_GETPOS, 0, 0);
}

}  // namespace

LRESULT WINAPI ScreenSaverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        g_set = LoadSettings();
        RECT rc;
        GetClientRect(hwnd, &rc);
        ResizeFrame(hwnd, rc.right, rc.bottom);  // the field is spawned to fit it
        ResetField();
        g_lastTick = GetTickCount();
        SetTimer(hwnd, kFrameTimer, kFrameMs, NULL);
        return 0;
    }
    case WM_SIZE:
        ResizeFrame(hwnd, LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_TIMER:
        if (wp != kFrameTimer) break;
        StepAndRender();
        InvalidateRect(hwnd, NULL, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // every frame covers the whole client area
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd, kFrameTimer);
        FreeFrame();
        break;
    }
    return DefScreenSaverProc(hwnd, msg, wp, lp);
}

BOOL WINAPI ScreenSaverConfigureDialog(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: {
        Settings s = LoadSettings();
        InitTrackbar(dlg, IDC_STAR_COUNT, kMinCount, kMaxCount, s.count, 100);
        InitTrackbar(dlg, IDC_STAR_SPEED, kMinSpeed, kMaxSpeed, s.speed, 1);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            Settings s = {TrackbarPos(dlg, IDC_STAR_COUNT), TrackbarPos(dlg, IDC_STAR_SPEED)};
            SaveSettings(s);
        }
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, LOWORD(wp));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// Trackbars live in comctl32, which must be initialised before the dialog
// template that names them is loaded.
BOOL WINAPI RegisterDialogClasses(HANDLE) {
    INITCOMMONCONTROLSEX icc;
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_BAR_CLASSES;
    return InitCommonControlsEx(&icc);
}
