/* The resources as the built program carries them, read back from
 * novra.exe itself rather than from the script they were made from. */
#include <gtest/gtest.h>
#include "links.h"
#include "support/test_support.h"

typedef std::vector<std::wstring> Lines;
static std::wstring Format(const wchar_t *format, ...)
{
    wchar_t text[512];
    va_list args;
    va_start(args, format), vswprintf(text, 512, format, args), va_end(args);
    return text;
}
/* A raw resource stored as Japanese, walked as words and strings. */
struct Reader {
    const BYTE *p = NULL, *base = NULL;
    Reader(LPCWSTR type, WORD id)
    {
        static HMODULE exe = LoadLibraryExA((ProgramFolder() + "novra.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        HRSRC found = FindResourceExW(exe, type, MAKEINTRESOURCEW(id), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
        base = p = found ? (const BYTE *)LockResource(LoadResource(exe, found)) : NULL;
    }
    WORD At(int offset) const { WORD v; memcpy(&v, p + offset, 2); return v; }
    std::wstring Sz() { std::wstring s; for (; At(0) != 0; p += 2) s += (wchar_t)At(0); p += 2; return s; }
    /* A letter a field: d double word (hex), w word (signed), s string or #ordinal, a align to 4. */
    std::wstring Fields(const char *layout)
    {
        std::wstring out;
        for (; *layout; layout++)
            switch (*layout) {
            case 'a': p = base + ((p - base + 3) & ~3); break;
            case 'd': out += Format(L" %lx", At(0) | (DWORD)At(2) << 16), p += 4; break;
            case 'w': out += Format(L" %d", (short)At(0)), p += 2; break;
            default: out += At(0) == 0xFFFF ? (p += 4, Format(L" #%u", At(-2))) : L" '" + Sz() + L"'";
            }
        return out.substr(1);
    }
};
/* Strings are kept sixteen to a block, each counted, not terminated. */
static std::wstring String(WORD id)
{
    Reader block((LPCWSTR)RT_STRING, id / 16 + 1);
    for (int i = 0; block.p != NULL && i < id % 16; i++)
        block.p += 2 + 2 * block.At(0);
    return block.p ? std::wstring((const wchar_t *)block.p + 1, block.At(0)) : L"(missing)";
}
/* One line per item, nested popups indented: caption and command, "-" for
 * a separator (always reported grayed), ">" after a popup's caption. */
static Lines MenuLines(WORD id)
{
    Lines lines;
    std::function<void(HMENU, std::wstring)> flatten = [&](HMENU menu, std::wstring indent) {
        for (int i = 0; i < GetMenuItemCount(menu); i++) {
            wchar_t text[128] = L"";
            MENUITEMINFOW item = {sizeof(item), MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU,
                                  0, 0, 0, NULL, NULL, NULL, 0, text, 128, NULL};
            GetMenuItemInfoW(menu, i, TRUE, &item);
            lines.push_back(indent + (item.fType & MFT_SEPARATOR ? L"-" : text + (item.hSubMenu ? L">" :
                L" " + std::to_wstring(item.wID)) + (item.fState ? Format(L" state %x", item.fState) : L"")));
            flatten(item.hSubMenu, indent + L"  ");
        }
    };
    Reader raw((LPCWSTR)RT_MENU, id);
    HMENU menu = raw.p ? LoadMenuIndirectW(raw.p) : NULL;
    flatten(menu, L""), DestroyMenu(menu);
    return lines;
}
TEST(Resources, MenusAndStrings)
{
    EXPECT_EQ(Lines({L"ﾌｧｲﾙ(&F)>", L"  開く(&O)... 32773", L"  -", L"  終了(&X) 102", L"  -", L"操作(&M)>",
                     L"  リセット(&R) 32777", L"  停止(&S) 32778", L"  -", L"  スクリーンセーバー起動(&P) 32781",
                     L"表示(&V)>", L"  常に前面に表示(&T) 32783", L"  解像度>", L"    QVGA  (320 * 240) 32788",
                     L"    VGA   (640 * 480) 32784", L"    SVGA  (800 * 600) 32785", L"    XGA   (1024 * 768)  32786",
                     L"設定(&S)>", L"  スクリンセーバー設定(&C) 32779", L"ヘルプ(&H)>", L"  ヘルプ(&H) 32787",
                     L"  バージョン情報(&V) 32780"}), MenuLines(130));
    EXPECT_EQ(Lines({L">", L"  QVGA  (320 * 240) 32788", L"  VGA   (640 * 480) 32784",
                     L"  SVGA  (800 * 600) 32785", L"  XGA   (1024 * 768)  32786", L"  -",
                     L"  フルスクリーン 32791", L"  元のサイズに戻す 32792"}), MenuLines(201));
    EXPECT_EQ(Lines({L"ｱﾌﾟﾘｹｰｼｮﾝを終了します。", L"ファイルを開く"}), Lines({String(102), String(32773)}));
}
/* Group entries: an icon's width and height are bytes, a cursor's words; then planes and bits per
 * pixel, byte count, image number. A cursor image: hot spot, bitmap header (mask in the height). */
TEST(Resources, IconAndCursor)
{
    Reader icon((LPCWSTR)RT_GROUP_ICON, 133), group((LPCWSTR)RT_GROUP_CURSOR, 131);
    Reader image((LPCWSTR)RT_CURSOR, group.p ? group.At(18) : 0);
    ASSERT_TRUE(icon.p != NULL && image.p != NULL);
    EXPECT_EQ(L"icon count 1 32x32 24 bpp; cursor type 2 count 1 width 32 1 bpp, hot spot 6,0, 32x64 1 bpp",
              Format(L"icon count %u %ux%u %u bpp; cursor type %u count %u width %u %u bpp, hot spot %u,%u, "
                     L"%ux%u %u bpp", icon.p[4], icon.p[6], icon.p[7], icon.p[12], group.At(2), group.At(4),
                     group.At(6), group.At(12), image.At(0), image.At(2), image.At(8), image.At(12), image.At(18)));
}
/* As file properties read it, through the version library loaded at run time (no import library). */
#define VERSION_CALL(name) \
    reinterpret_cast<decltype(&name)>(reinterpret_cast<void (*)()>(GetProcAddress(version, #name)))
TEST(Resources, VersionBlock)
{
    ASSERT_TRUE(Reader((LPCWSTR)RT_VERSION, 1).p != NULL);
    HMODULE version = LoadLibraryA("version.dll");
    auto size = VERSION_CALL(GetFileVersionInfoSizeA);
    auto info = VERSION_CALL(GetFileVersionInfoA);
    auto query = VERSION_CALL(VerQueryValueW);
    std::string path = ProgramFolder() + "novra.exe";
    std::vector<BYTE> block(size ? size(path.c_str(), NULL) : 0);
    ASSERT_TRUE(info && query && info(path.c_str(), 0, (DWORD)block.size(), block.data()));
    UINT length;
    auto value = [&](const std::wstring &key) {
        void *found = NULL;
        return query(block.data(), key.c_str(), &found, &length) ? found : NULL;
    };
    auto *fixed = (VS_FIXEDFILEINFO *)value(L"\\");
    auto *language = (WORD *)value(L"\\VarFileInfo\\Translation");
    ASSERT_TRUE(fixed && language);
    EXPECT_EQ(L"10000 30000 10000 30000 3f 28 4 1 0, 0411 1200",
              Format(L"%lx %lx %lx %lx %lx %lx %lx %lx %lx, %04x %u", fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                     fixed->dwProductVersionMS, fixed->dwProductVersionLS, fixed->dwFileFlagsMask, fixed->dwFileFlags,
                     fixed->dwFileOS, fixed->dwFileType, fixed->dwFileSubtype, language[0], language[1]));
    static const wchar_t *const values[][2] = {{L"Comments", L"\x3000"}, {L"FileDescription", L"NOVRA"},
        {L"FileVersion", L"1, 0, 3, 0"}, {L"InternalName", L"NOVRA"}, {L"LegalTrademarks", L"\x3000"},
        {L"OriginalFilename", L"NOVRA"}, {L"PrivateBuild", L"\x3000"}, {L"ProductName", L"NOVRA"},
        {L"ProductVersion", L"1, 0, 3, 0"}, {L"SpecialBuild", L"\x3000"}};
    for (auto &row : values)
        EXPECT_STREQ(row[1], (wchar_t *)value(L"\\StringFileInfo\\041104b0\\" + std::wstring(row[0]))) << row[0];
}
/* Header: style, extended style, control count, place and size, menu, class, caption, point size,
 * font. Then each control on a double-word boundary: styles, place and size, id, class, text, extra. */
TEST(Resources, AboutDialogTemplate)
{
    Reader r((LPCWSTR)RT_DIALOG, 129);
    ASSERT_TRUE(r.p != NULL);
    Lines lines;
    for (WORD count = r.At(8), i = 0; i <= count; i++) lines.push_back(r.Fields(i ? "addwwwwwssw" : "ddwwwwwsssws"));
    EXPECT_EQ(Lines({L"90c80ac0 0 6 0 0 235 125 '' '' 'バージョン情報(NOVRA)' 9 'ＭＳ Ｐゴシック'",
                     L"50010001 0 173 25 50 14 1 #128 'OK' 0", L"50020000 0 46 23 83 11 -1 #130 'NOVRA  Ver 1.03' 0",
                     L"50000007 0 7 93 221 1 -1 #130 '' 0",
                     L"50020100 0 45 60 171 10 2002 #130 '" NOVRA_MAIL_LABEL "' 0",
                     L"50020100 0 45 73 143 10 2001 #130 '" NOVRA_WEB_LABEL "' 0",
                     L"50801803 0 12 22 20 20 -1 #130 #133 0"}), lines);
}
