/* The resources as the built program carries them: Japanese text that
 * survives the script's encoding, menu items that reach the commands. */
#include <gtest/gtest.h>

#include "res/resource.h"
#include "support/test_support.h"

namespace {

typedef std::vector<std::wstring> Captions;

/* Every command item of the menu and its popups, in order. */
void CollectItems(HMENU menu, std::vector<UINT> *ids, Captions *captions)
{
    for (int position = 0; position < GetMenuItemCount(menu); position++) {
        wchar_t text[128] = L"";
        GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
        HMENU popup = GetSubMenu(menu, position);
        if (popup != NULL) {
            CollectItems(popup, ids, captions);
        } else if (GetMenuItemID(menu, position) != 0) {
            ids->push_back(GetMenuItemID(menu, position));
            captions->push_back(text);
        }
    }
}

std::wstring CaptionOf(const std::vector<UINT> &ids, const Captions &captions, UINT id)
{
    for (size_t i = 0; i < ids.size(); i++) {
        if (ids[i] == id)
            return captions[i];
    }
    return L"(missing)";
}

TEST(Resources, MenusReachTheCommandsAndReadInJapanese)
{
    HMENU bar = LoadMenuW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDR_MAIN_MENU));
    HMENU context = LoadMenuW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDR_CONTEXT_MENU));
    ASSERT_TRUE(bar != NULL && context != NULL);
    Captions popups;
    for (int position = 0; position < GetMenuItemCount(bar); position++) {
        wchar_t text[64] = L"";
        GetMenuStringW(bar, position, text, 64, MF_BYPOSITION);
        popups.push_back(text);
    }
    EXPECT_EQ((Captions{L"ﾌｧｲﾙ(&F)", L"操作(&M)", L"表示(&V)", L"設定(&S)", L"ヘルプ(&H)"}), popups);
    std::vector<UINT> ids;
    Captions captions;
    CollectItems(bar, &ids, &captions);
    std::vector<UINT> expected = {IDM_OPEN, IDM_EXIT, IDM_RESET, IDM_STOP, IDM_START_SAVER,
                                  IDM_TOPMOST, IDM_SIZE_QVGA, IDM_SIZE_VGA, IDM_SIZE_SVGA,
                                  IDM_SIZE_XGA, IDM_SAVER_SETTINGS, IDM_HELP, IDM_ABOUT};
    EXPECT_EQ(expected, ids);
    EXPECT_EQ(L"スクリンセーバー設定(&C)", CaptionOf(ids, captions, IDM_SAVER_SETTINGS));
    EXPECT_EQ(L"スクリーンセーバー起動(&P)", CaptionOf(ids, captions, IDM_START_SAVER));
    EXPECT_EQ(L"XGA   (1024 * 768) ", CaptionOf(ids, captions, IDM_SIZE_XGA));
    ids.clear();
    captions.clear();
    CollectItems(context, &ids, &captions);
    expected = {IDM_SIZE_QVGA, IDM_SIZE_VGA, IDM_SIZE_SVGA, IDM_SIZE_XGA, IDM_FULL_SCREEN,
                IDM_RESTORE_SIZE};
    EXPECT_EQ(expected, ids);
    EXPECT_EQ(L"元のサイズに戻す", CaptionOf(ids, captions, IDM_RESTORE_SIZE));
    DestroyMenu(bar);
    DestroyMenu(context);
    wchar_t text[64] = L"";
    LoadStringW(GetModuleHandleW(NULL), IDM_EXIT, text, 64);
    EXPECT_STREQ(L"ｱﾌﾟﾘｹｰｼｮﾝを終了します。", text);
    LoadStringW(GetModuleHandleW(NULL), IDM_OPEN, text, 64);
    EXPECT_STREQ(L"ファイルを開く", text);
}

/* As file properties read it, through the version library loaded at run
 * time (the tests link no import library for it). */
#define VERSION_CALL(name) \
    reinterpret_cast<decltype(&name)>(reinterpret_cast<void (*)()>(GetProcAddress(version, #name)))

TEST(Resources, VersionBlock)
{
    HMODULE version = LoadLibraryA("version.dll");
    auto size = VERSION_CALL(GetFileVersionInfoSizeA);
    auto info = VERSION_CALL(GetFileVersionInfoA);
    auto query = VERSION_CALL(VerQueryValueA);
    std::string path = ProgramFolder() + "novra.exe";
    std::vector<BYTE> block(size != NULL ? size(path.c_str(), NULL) : 0);
    ASSERT_TRUE(query && info && info(path.c_str(), 0, (DWORD)block.size(), block.data()));
    void *fixed = NULL;
    void *language = NULL;
    void *product = NULL;
    UINT length;
    query(block.data(), "\\", &fixed, &length);
    query(block.data(), "\\VarFileInfo\\Translation", &language, &length);
    query(block.data(), "\\StringFileInfo\\041104b0\\FileVersion", &product, &length);
    ASSERT_TRUE(fixed && language && product);
    EXPECT_EQ(0x10000u, ((VS_FIXEDFILEINFO *)fixed)->dwFileVersionMS);
    EXPECT_EQ(0x30000u, ((VS_FIXEDFILEINFO *)fixed)->dwFileVersionLS);
    EXPECT_EQ(0x04B00411u, *(DWORD *)language);
    EXPECT_STREQ("1, 0, 3, 0", (const char *)product);
}

}  // namespace
