/* NOVRA Stars: a star field flying towards the viewer. The screen-saver
 * library owns WinMain and the command line; this file supplies the window
 * procedure, the settings dialog and the drawing. */
#include <windows.h>
#include <commctrl.h>
#include <scrnsave.h>
#include <math.h>
#include <string.h>

#include "stars_resource.h"

static const char REGISTRY_KEY[] = "Software\\NOVRA\\Stars";
enum { COUNT_MIN = 50, COUNT_MAX = 1500, COUNT_DEFAULT = 600 };
enum { SPEED_MIN = 1, SPEED_MAX = 10, SPEED_DEFAULT = 4 };
#define FRAME_TIMER     1
#define FRAME_MS        33
#define STEP_LIMIT_MS   100     /* after a stall the field moves this far, not the whole time */
#define NEAR_Z          0.02f   /* the nearest depth: stars fly from 1 (far) down to this */
#define STREAK_LIMIT    400     /* pixels; a longer streak is cut */

struct Settings {
    DWORD count;
    DWORD speed;
};

/* Most stars are white, some blue-white and some warm: 0xRRGGBB, as the
 * frame's pixels hold them. */
enum StarTint : DWORD {
    TINT_BLUE_WHITE = 0xAAC8FF,
    TINT_WHITE = 0xFFF5FF,
    TINT_WARM = 0xFFDCAA
};

struct Star {
    float x;
    float y;
    float z;
    StarTint tint;
};

/* The back buffer is a DIB section, so that stars are blended straight into
 * memory and the whole frame is copied with one BitBlt (no flicker). */
struct Frame {
    HDC dc;
    HBITMAP bitmap;
    HBITMAP previousBitmap;
    DWORD *pixels;
    int width;
    int height;
};

/* Zero until WM_CREATE loads the settings and spreads the field. */
static Settings settings;
static Star stars[COUNT_MAX];
static Frame frame;
static DWORD lastTick;
static unsigned seed;

/* A missing value falls back and one out of range is clamped, so that a
 * hand-edited key cannot break the saver. */
static DWORD ReadSetting(HKEY key, const char *name, DWORD fallback, DWORD low, DWORD high)
{
    DWORD value = fallback;
    DWORD size = sizeof(value);
    DWORD type = 0;

    if (RegQueryValueExA(key, name, NULL, &type, (BYTE *)&value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return fallback;
    if (value < low)
        return low;
    return value > high ? high : value;
}

static Settings LoadSettings(void)
{
    Settings loaded = {COUNT_DEFAULT, SPEED_DEFAULT};
    HKEY key;

    if (RegOpenKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return loaded;
    loaded.count = ReadSetting(key, "Count", COUNT_DEFAULT, COUNT_MIN, COUNT_MAX);
    loaded.speed = ReadSetting(key, "Speed", SPEED_DEFAULT, SPEED_MIN, SPEED_MAX);
    RegCloseKey(key);
    return loaded;
}

static void SaveSettings(const Settings *chosen)
{
    HKEY key;

    if (RegCreateKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "Count", 0, REG_DWORD, (const BYTE *)&chosen->count, sizeof(DWORD));
    RegSetValueExA(key, "Speed", 0, REG_DWORD, (const BYTE *)&chosen->speed, sizeof(DWORD));
    RegCloseKey(key);
}

/* A private generator: rand()'s state belongs to the C runtime, and its
 * range differs between runtimes. */
static float Random01(void)
{
    seed = seed * 1664525u + 1013904223u;
    return (float)(seed >> 8) / 16777216.0f;
}

/* New stars start inside the visible cone, so that none are wasted
 * off-screen in a wide or tall window. */
static void SpawnStar(Star *star, float z)
{
    int longest = frame.width > frame.height ? frame.width : frame.height;
    float spreadX = longest > 0 ? (float)frame.width / longest : 1.0f;
    float spreadY = longest > 0 ? (float)frame.height / longest : 1.0f;

    star->x = (Random01() * 2.0f - 1.0f) * spreadX * z;
    star->y = (Random01() * 2.0f - 1.0f) * spreadY * z;
    star->z = z;
    float chance = Random01();
    star->tint = chance < 0.25f ? TINT_BLUE_WHITE : (chance > 0.85f ? TINT_WARM : TINT_WHITE);
}

/* Every slot is filled, so that a window that grows shows more stars at once. */
static void ResetField(void)
{
    seed = GetTickCount() | 1u;
    for (DWORD index = 0; index < COUNT_MAX; index++)
        SpawnStar(&stars[index], NEAR_Z + Random01());
}

/* The setting is meant for a full screen of 800x600 or more; a small
 * preview with as many stars would look like noise, so the field thins out
 * with the window's size. */
static DWORD VisibleCount(void)
{
    float share = (float)frame.width * (float)frame.height / (800.0f * 600.0f);
    float scale = share >= 1.0f ? 1.0f : sqrtf(share);

    if (scale < 0.35f)
        scale = 0.35f;
    return (DWORD)((float)settings.count * scale);
}

static void FreeFrame(void)
{
    if (frame.dc == NULL)
        return;
    SelectObject(frame.dc, frame.previousBitmap);
    DeleteObject(frame.bitmap);
    DeleteDC(frame.dc);
    memset(&frame, 0, sizeof(frame));
}

static void ResizeFrame(HWND window, int width, int height)
{
    BITMAPINFO info = {};
    void *bits = NULL;

    FreeFrame();
    if (width <= 0 || height <= 0)
        return;
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;     /* negative: the rows run top-down */
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC windowDc = GetDC(window);
    frame.bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    frame.dc = frame.bitmap != NULL ? CreateCompatibleDC(windowDc) : NULL;
    ReleaseDC(window, windowDc);
    if (frame.dc == NULL) {
        if (frame.bitmap != NULL)
            DeleteObject(frame.bitmap);
        memset(&frame, 0, sizeof(frame));
        return;
    }
    frame.previousBitmap = (HBITMAP)SelectObject(frame.dc, frame.bitmap);
    frame.pixels = (DWORD *)bits;
    frame.width = width;
    frame.height = height;
}

/* The blend is additive and each channel saturates, so that overlapping
 * streaks glow rather than overwrite each other. */
static void AddPixel(int x, int y, DWORD color, float weight)
{
    if (x < 0 || y < 0 || x >= frame.width || y >= frame.height || weight <= 0.0f)
        return;
    DWORD *pixel = &frame.pixels[y * frame.width + x];
    DWORD sum = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int value = (int)((*pixel >> shift) & 0xFF) + (int)((BYTE)(color >> shift) * weight);
        sum |= (DWORD)(value > 255 ? 255 : value) << shift;
    }
    *pixel = sum;
}

/* A streak brightens from the tail to the head. */
static void DrawStreak(float tailX, float tailY, float headX, float headY, DWORD color, float bright)
{
    float dx = headX - tailX;
    float dy = headY - tailY;
    int steps = (int)(fabsf(dx) > fabsf(dy) ? fabsf(dx) : fabsf(dy));

    if (steps > STREAK_LIMIT)
        steps = STREAK_LIMIT;
    for (int step = 0; step <= steps; step++) {
        float along = steps != 0 ? (float)step / steps : 1.0f;
        AddPixel((int)(tailX + dx * along), (int)(tailY + dy * along), color, bright * along * along);
    }
}

static float DepthPerSecond(void)
{
    return 0.08f + 0.07f * (float)settings.speed;
}

/* A 2x2 head for the nearer stars, ringed by a faint glow for the nearest. */
static void DrawHead(int x, int y, DWORD color, float bright, int glow)
{
    for (int row = 0; row < 2; row++) {
        for (int column = 0; column < 2; column++)
            AddPixel(x + column, y + row, color, bright);
    }
    if (glow != 1)
        return;
    for (int side = 0; side < 2; side++) {
        AddPixel(x - 1, y + side, color, bright * 0.4f);
        AddPixel(x + 2, y + side, color, bright * 0.4f);
        AddPixel(x + side, y - 1, color, bright * 0.4f);
        AddPixel(x + side, y + 2, color, bright * 0.4f);
    }
}

/* The tail is where the star was 70 ms before. */
static void DrawStar(const Star *star, float focal, float centerX, float centerY)
{
    float tailZ = star->z + DepthPerSecond() * 0.07f;
    float headX = centerX + star->x / star->z * focal;
    float headY = centerY + star->y / star->z * focal;
    float tailX = centerX + star->x / tailZ * focal;
    float tailY = centerY + star->y / tailZ * focal;
    float closeness = 1.0f - star->z;
    float bright = 0.3f + 0.7f * closeness * closeness;

    DrawStreak(tailX, tailY, headX, headY, star->tint, bright);
    if (star->z < 0.5f)
        DrawHead((int)headX, (int)headY, star->tint, bright, star->z < 0.2f);
}

/* A star that has passed the viewer or left the window starts again far away. */
static void DrawFrame(DWORD elapsedMs)
{
    float depth = DepthPerSecond() * (float)elapsedMs / 1000.0f;
    float focal = 0.5f * (float)(frame.width > frame.height ? frame.width : frame.height);
    float centerX = frame.width * 0.5f;
    float centerY = frame.height * 0.5f;
    DWORD count = VisibleCount();

    if (frame.dc == NULL)
        return;
    memset(frame.pixels, 0, (size_t)frame.width * frame.height * sizeof(DWORD));
    for (DWORD index = 0; index < count; index++) {
        Star *star = &stars[index];
        star->z -= depth;
        float x = star->x / star->z * focal;
        float y = star->y / star->z * focal;
        if (star->z < NEAR_Z || x < -centerX || x > centerX || y < -centerY || y > centerY)
            SpawnStar(star, 1.0f);
        else
            DrawStar(star, focal, centerX, centerY);
    }
}

/* The frame is made before the field, whose stars are spread to fit it. */
static void OnCreate(HWND window)
{
    RECT client;

    settings = LoadSettings();
    GetClientRect(window, &client);
    ResizeFrame(window, client.right, client.bottom);
    ResetField();
    lastTick = GetTickCount();
    SetTimer(window, FRAME_TIMER, FRAME_MS, NULL);
}

static void OnFrameTimer(HWND window)
{
    DWORD now = GetTickCount();
    DWORD elapsed = now - lastTick;

    lastTick = now;
    DrawFrame(elapsed > STEP_LIMIT_MS ? STEP_LIMIT_MS : elapsed);
    InvalidateRect(window, NULL, FALSE);
}

static void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);

    if (frame.dc != NULL)
        BitBlt(dc, 0, 0, frame.width, frame.height, frame.dc, 0, 0, SRCCOPY);
    EndPaint(window, &paint);
}

static void OnDestroy(HWND window)
{
    KillTimer(window, FRAME_TIMER);
    FreeFrame();
}

/* Every frame covers the whole client area, so the background is never
 * erased. The library's procedure sees the destruction too: it ends the
 * program. */
LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:         OnCreate(window); return 0;
    case WM_SIZE:           ResizeFrame(window, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ERASEBKGND:     return 1;
    case WM_PAINT:          OnPaint(window); return 0;
    case WM_TIMER:
        if (wParam != FRAME_TIMER)
            break;
        OnFrameTimer(window);
        return 0;
    case WM_DESTROY:        OnDestroy(window); break;
    }
    return DefScreenSaverProc(window, message, wParam, lParam);
}

static void InitTrackbar(HWND dialog, int id, DWORD low, DWORD high, DWORD position, DWORD tickStep)
{
    SendDlgItemMessageA(dialog, id, TBM_SETRANGE, FALSE, MAKELPARAM(low, high));
    SendDlgItemMessageA(dialog, id, TBM_SETTICFREQ, tickStep, 0);
    SendDlgItemMessageA(dialog, id, TBM_SETPOS, TRUE, (LPARAM)position);
}

static void OnInitDialog(HWND dialog)
{
    Settings saved = LoadSettings();

    InitTrackbar(dialog, IDC_STAR_COUNT, COUNT_MIN, COUNT_MAX, saved.count, 100);
    InitTrackbar(dialog, IDC_STAR_SPEED, SPEED_MIN, SPEED_MAX, saved.speed, 1);
}

/* OK keeps the trackbars' positions; Cancel (also Esc and the close box)
 * leaves the settings as they were. */
static BOOL OnDialogCommand(HWND dialog, int id)
{
    Settings chosen;

    if (id == IDOK) {
        chosen.count = (DWORD)SendDlgItemMessageA(dialog, IDC_STAR_COUNT, TBM_GETPOS, 0, 0);
        chosen.speed = (DWORD)SendDlgItemMessageA(dialog, IDC_STAR_SPEED, TBM_GETPOS, 0, 0);
        SaveSettings(&chosen);
    }
    if (id != IDOK && id != IDCANCEL)
        return FALSE;
    EndDialog(dialog, id);
    return TRUE;
}

BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:     OnInitDialog(dialog); return TRUE;
    case WM_COMMAND:        return OnDialogCommand(dialog, LOWORD(wParam));
    default:                return FALSE;
    }
}

/* Trackbars live in comctl32, which must be initialised before the dialog
 * template that names them is loaded. */
BOOL WINAPI RegisterDialogClasses(HANDLE)
{
    INITCOMMONCONTROLSEX controls;

    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES;
    return InitCommonControlsEx(&controls);
}
