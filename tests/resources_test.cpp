/* The resources as the built program carries them, read back from
 * novra.exe itself rather than from the script they were made from. */
#include <gtest/gtest.h>
#include <string.h>
#include <wchar.h>

#include "links.h"
#include "support/test_support.h"

typedef std::vector<std::wstring> Lines;

/* A raw resource stored as Japanese, walked as words, strings, ordinals. */
struct Reader {
    const BYTE *p = NULL;
    Reader(LPCWSTR type, WORD id)
    {
        static HMODULE exe = LoadLibraryExA((ProgramFolder() + "novra.exe").c_str(), NULL,
                                            LOAD_LIBRARY_AS_DATAFILE);
        HRSRC found = FindResourceExW(exe, type, MAKEINTRESOURCEW(id),
                                      MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
        if (found != NULL)
            p = (const BYTE *)LockResource(LoadResource(exe, found));
    }
    WORD W() { WORD v; memcpy(&v, p, 2); p += 2; return v; }
    DWORD D() { DWORD low = W(); return low | (DWORD)W() << 16; }
    std::wstring Sz() { std::wstring s; for (WORD c; (c = W()) != 0;) s += (wchar_t)c; return s; }
    std::wstring SzOrOrd() { return p[0] == 0xFF && p[1] == 0xFF ? (W(), L"#" + std::to_wstring(W())) : Sz(); }
};

static std::wstring Format(const wchar_t *format, ...)
{
    wchar_t text[512];
    va_list args;
    va_start(args, format);
    vswprintf(text, 512, format, args);
    va_end(args);
    return text;
}

/* Strings are kept sixteen to a block, each counted, not terminated. */
static std::wstring String(WORD id)
{
    Reader block((LPCWSTR)RT_STRING, id / 16 + 1);
    for (int i = 0; block.p != NULL && i < id % 16; i++) {
        WORD skip = block.W();
        block.p += 2 * skip;
    }
    WORD length = block.p ? block.W() : 0;
    return block.p ? std::wstring((const wchar_t *)block.p, length) : L"(missing)";
}

/* One line per item, nested popups indented: caption and command, "-" for
 * a separator (always reported grayed), ">" after a popup's caption. */
static void Flatten(HMENU menu, const std::wstring &indent, Lines &lines)
{
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        wchar_t text[128] = L"";
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item), item.dwTypeData = text, item.cch = 128;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        GetMenuItemInfoW(menu, i, TRUE, &item);
        if (item.fType & MFT_SEPARATOR)
            lines.push_back(indent + L"-");
        else
            lines.push_back(indent + text + (item.hSubMenu ? L">" : L" " + std::to_wstring(item.wID)) +
                            (item.fState ? Format(L" state %x", item.fState) : L""));
        if (item.hSubMenu != NULL)
            Flatten(item.hSubMenu, indent + L"  ", lines);
    }
}

static Lines MenuLines(WORD id)
{
    Lines lines;
    Reader raw((LPCWSTR)RT_MENU, id);
    HMENU menu = raw.p ? LoadMenuIndirectW(raw.p) : NULL;
    if (menu != NULL)
        Flatten(menu, L"", lines), DestroyMenu(menu);
    return lines;
}

TEST(Resources, MenusAndStrings)
{
    EXPECT_EQ(Lines({L"ﾌｧｲﾙ(&F)>", L"  開く(&O)... 32773", L"  -", L"  終了(&X) 102", L"  -",
                     L"操作(&M)>", L"  リセット(&R) 32777", L"  停止(&S) 32778", L"  -",
                     L"  スクリーンセーバー起動(&P) 32781",
                     L"表示(&V)>", L"  常に前面に表示(&T) 32783", L"  解像度>",
                     L"    QVGA  (320 * 240) 32788", L"    VGA   (640 * 480) 32784",
                     L"    SVGA  (800 * 600) 32785", L"    XGA   (1024 * 768)  32786",
                     L"設定(&S)>", L"  スクリンセーバー設定(&C) 32779",
                     L"ヘルプ(&H)>", L"  ヘルプ(&H) 32787", L"  バージョン情報(&V) 32780"}),
              MenuLines(130));
    EXPECT_EQ(Lines({L">", L"  QVGA  (320 * 240) 32788", L"  VGA   (640 * 480) 32784",
                     L"  SVGA  (800 * 600) 32785", L"  XGA   (1024 * 768)  32786", L"  -",
                     L"  フルスクリーン 32791", L"  元のサイズに戻す 32792"}),
              MenuLines(201));
    EXPECT_EQ(L"ｱﾌﾟﾘｹｰｼｮﾝを終了します。", String(102));
    EXPECT_EQ(L"ファイルを開く", String(32773));
}

/* Group entries: an icon's width and height are bytes, a cursor's words;
 * then planes and bits per pixel, byte count, image number. A cursor image
 * starts with its hot spot, then the bitmap header (mask in the height). */
TEST(Resources, IconAndCursor)
{
    Reader icon((LPCWSTR)RT_GROUP_ICON, 133), group((LPCWSTR)RT_GROUP_CURSOR, 131);
    ASSERT_TRUE(icon.p != NULL && group.p != NULL);
    EXPECT_EQ(L"count 1 32x32 24 bpp", Format(L"count %u %ux%u %u bpp", icon.p[4], icon.p[6],
                                              icon.p[7], icon.p[12]));
    WORD head[7] = {group.W(), group.W(), group.W(), group.W(), group.W(), group.W(), group.W()};
    group.D();
    Reader image((LPCWSTR)RT_CURSOR, group.W());
    ASSERT_TRUE(image.p != NULL);
    WORD hot[2] = {image.W(), image.W()};
    BITMAPINFOHEADER bitmap;
    memcpy(&bitmap, image.p, sizeof(bitmap));
    EXPECT_EQ(L"type 2 count 1 width 32 1 bpp, hot spot 6,0, 32x64 1 bpp",
              Format(L"type %u count %u width %u %u bpp, hot spot %u,%u, %ldx%ld %u bpp", head[1],
                     head[2], head[3], head[6], hot[0], hot[1], bitmap.biWidth, bitmap.biHeight,
                     bitmap.biBitCount));
}

/* As file properties read it; the version library is loaded at run time,
 * so that the tests need no import library of their own. */
#define VERSION_CALL(name) \
    reinterpret_cast<decltype(&name)>(reinterpret_cast<void (*)()>(GetProcAddress(version, #name)))

TEST(Resources, VersionBlock)
{
    ASSERT_TRUE(Reader((LPCWSTR)RT_VERSION, 1).p != NULL);
    HMODULE version = LoadLibraryA("version.dll");
    auto size = VERSION_CALL(GetFileVersionInfoSizeW);
    auto info = VERSION_CALL(GetFileVersionInfoW);
    auto query = VERSION_CALL(VerQueryValueW);
    ASSERT_TRUE(size && info && query);
    wchar_t path[MAX_PATH + 16];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    wcscpy(wcsrchr(path, L'\\') + 1, L"novra.exe");
    std::vector<BYTE> block(size(path, NULL) + 1);
    ASSERT_TRUE(info(path, 0, (DWORD)block.size(), block.data()));

    VS_FIXEDFILEINFO *fixed = NULL;
    WORD *language = NULL;
    UINT length = 0;
    ASSERT_TRUE(query(block.data(), L"\\", (LPVOID *)&fixed, &length));
    ASSERT_TRUE(query(block.data(), L"\\VarFileInfo\\Translation", (LPVOID *)&language, &length));
    EXPECT_EQ(L"00010000 00030000 00010000 00030000 3f 28 4 1 0, 0411 1200",
              Format(L"%08lx %08lx %08lx %08lx %lx %lx %lx %lx %lx, %04x %u", fixed->dwFileVersionMS,
                     fixed->dwFileVersionLS, fixed->dwProductVersionMS, fixed->dwProductVersionLS,
                     fixed->dwFileFlagsMask, fixed->dwFileFlags, fixed->dwFileOS, fixed->dwFileType,
                     fixed->dwFileSubtype, language[0], language[1]));
    static const wchar_t *const values[][2] = {
        {L"Comments", L"\x3000"}, {L"FileDescription", L"NOVRA"}, {L"FileVersion", L"1, 0, 3, 0"},
        {L"InternalName", L"NOVRA"}, {L"LegalTrademarks", L"\x3000"}, {L"OriginalFilename", L"NOVRA"},
        {L"PrivateBuild", L"\x3000"}, {L"ProductName", L"NOVRA"}, {L"ProductVersion", L"1, 0, 3, 0"},
        {L"SpecialBuild", L"\x3000"}};
    for (auto &row : values) {
        wchar_t *text = NULL;
        query(block.data(), (std::wstring(L"\\StringFileInfo\\041104b0\\") + row[0]).c_str(),
              (LPVOID *)&text, &length);
        EXPECT_EQ(std::wstring(row[1]), text ? text : L"(missing)") << row[0];
    }
    FreeLibrary(version);
}

/* The classic template: header, then each control on a double-word
 * boundary. One line for the dialog, one per control in template order. */
TEST(Resources, AboutDialogTemplate)
{
    Reader r((LPCWSTR)RT_DIALOG, 129);
    const BYTE *base = r.p;
    ASSERT_TRUE(base != NULL);
    DWORD style = r.D(), ex = r.D();
    WORD count = r.W();
    short x = r.W(), y = r.W(), cx = r.W(), cy = r.W();
    std::wstring menu = r.SzOrOrd(), cls = r.SzOrOrd(), caption = r.Sz();
    WORD points = r.W();
    Lines lines = {Format(L"%08lx %lx %d,%d %dx%d menu '%ls' class '%ls' %ls %u %ls", style, ex, x, y,
                          cx, cy, menu.c_str(), cls.c_str(), caption.c_str(), points, r.Sz().c_str())};
    for (WORD i = 0; i < count; i++) {
        r.p = base + ((r.p - base + 3) & ~3);
        style = r.D(), ex = r.D();
        x = r.W(), y = r.W(), cx = r.W(), cy = r.W();
        short id = r.W();
        cls = r.SzOrOrd();
        std::wstring text = r.SzOrOrd();
        WORD extra = r.W();
        r.p += extra;
        lines.push_back(Format(L"%d %ls %08lx %lx %d,%d %dx%d '%ls' extra %u", id, cls.c_str(), style,
                               ex, x, y, cx, cy, text.c_str(), extra));
    }
    EXPECT_EQ(Lines({L"90c80ac0 0 0,0 235x125 menu '' class '' バージョン情報(NOVRA) 9 ＭＳ Ｐゴシック",
                     L"1 #128 50010001 0 173,25 50x14 'OK' extra 0",
                     L"-1 #130 50020000 0 46,23 83x11 'NOVRA  Ver 1.03' extra 0",
                     L"-1 #130 50000007 0 7,93 221x1 '' extra 0",
                     L"2002 #130 50020100 0 45,60 171x10 '" NOVRA_MAIL_LABEL "' extra 0",
                     L"2001 #130 50020100 0 45,73 143x10 '" NOVRA_WEB_LABEL "' extra 0",
                     L"-1 #130 50801803 0 12,22 20x20 '#133' extra 0"}),
              lines);
}
