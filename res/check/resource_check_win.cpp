// Checks the compiled resources that Netsonde.exe links: every dialog template control by
// control (id, class, text, style, extended style, rectangle, in tab order), the string table,
// the icon, the banner and the manifest, and that no dialog uses an access key twice. The
// end-to-end tests find controls by these ids and positions, so a template that drifts must fail
// here first.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "res/dialog_template.h"
#include "res/resource.h"

namespace netsonde {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPush = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDefPush = kChild | BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD kLabel = kChild | SS_LEFT | WS_GROUP;
constexpr DWORD kEdit = kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kShownEdit = kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_DISABLED;
constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON | WS_GROUP;
constexpr DWORD kCheck = kChild | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr int kNone = IDC_STATIC_UNNUMBERED;
constexpr int kNoOrdinal = -1;

struct ItemLayout {
    int id;
    const char* className;
    const char* text;  // for pictures: the ordinal of the icon or bitmap in `ordinal`
    int ordinal;
    DWORD style;
    DialogRect rect;
};

struct DialogLayout {
    int templateId;
    const char* caption;
    DWORD style;
    DWORD exStyle;
    DialogRect rect;
    std::vector<ItemLayout> items;
};

const DWORD kFixedFrame = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;

const DialogLayout kDialogs[] = {
    {IDD_ABOUT,
     "About Netsonde",
     kFixedFrame,
     WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE,
     {0, 0, 273, 72},
     {
         {kNone, "Static", "", IDI_NETSONDE, kChild | SS_ICON, {11, 42, 20, 20}},
         {kNone,
          "Static",
          "Netsonde Version 2.7.2",
          kNoOrdinal,
          kLabel | SS_NOPREFIX,
          {70, 46, 119, 8}},
         {IDOK, "Button", "OK", kNoOrdinal, kDefPush | WS_GROUP, {216, 48, 50, 14}},
         {kNone, "Static", "", IDB_BANNER, kChild | SS_BITMAP, {7, 7, 88, 22}},
     }},
    {IDD_SCAN_LIST,
     "Scan List",
     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME |
         DS_SETFONT,
     0,
     {0, 0, 571, 185},
     {
         {IDC_SCAN_DEVICE_LIST,
          "SysListView32",
          "",
          kNoOrdinal,
          kChild | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SORTASCENDING | WS_BORDER |
              WS_TABSTOP,
          {15, 56, 461, 70}},
         {IDC_SCAN_RESCAN, "Button", "Rescan", kNoOrdinal, kDefPush, {514, 53, 50, 14}},
         {IDC_SCAN_CHANGE, "Button", "Change", kNoOrdinal, kPush, {514, 74, 50, 14}},
         {IDCANCEL, "Button", "Cancel", kNoOrdinal, kPush, {514, 164, 50, 14}},
         {IDC_SCAN_ABOUT, "Button", "About", kNoOrdinal, kPush, {15, 164, 50, 14}},
         {IDC_SCAN_SELECT_ADAPTER,
          "Button",
          "Select Adapter",
          kNoOrdinal,
          kPush,
          {514, 116, 50, 14}},
         {IDC_SCAN_WEB_CONFIG, "Button", "Web Config", kNoOrdinal, kPush, {514, 95, 50, 14}},
         {kNone, "Static", "", IDB_BANNER, kChild | SS_BITMAP, {15, 7, 113, 30}},
     }},
    {IDD_CHANGE,
     "Change",
     kFixedFrame,
     0,
     {0, 0, 229, 244},
     {
         {IDC_CHANGE_SYSTEM_NAME, "Edit", "", kNoOrdinal, kShownEdit, {102, 36, 120, 14}},
         {IDC_CHANGE_STATIC, "Button", "Static", kNoOrdinal, kRadio, {102, 59, 34, 10}},
         {IDC_CHANGE_DYNAMIC, "Button", "Dynamic", kNoOrdinal, kRadio, {145, 59, 43, 10}},
         {IDC_CHANGE_IP_ADDRESS, "Edit", "", kNoOrdinal, kEdit, {102, 76, 120, 14}},
         {IDC_CHANGE_SUBNET_MASK, "Edit", "", kNoOrdinal, kEdit, {102, 96, 120, 14}},
         {IDC_CHANGE_GATEWAY, "Edit", "", kNoOrdinal, kEdit, {102, 116, 120, 14}},
         {IDC_CHANGE_TFTP_SERVER, "Edit", "", kNoOrdinal, kEdit, {102, 136, 120, 14}},
         {IDC_CHANGE_IMAGE_FILE, "Edit", "", kNoOrdinal, kEdit, {102, 156, 120, 14}},
         {IDC_CHANGE_PASSWORD, "Edit", "", kNoOrdinal, kEdit | ES_PASSWORD, {102, 176, 120, 14}},
         {IDOK, "Button", "OK", kNoOrdinal, kDefPush, {121, 207, 50, 14}},
         {IDCANCEL, "Button", "Cancel", kNoOrdinal, kPush, {172, 207, 50, 14}},
         {kNone, "Static", "MAC Address", kNoOrdinal, kLabel, {18, 19, 44, 8}},
         {kNone, "Static", "Name", kNoOrdinal, kLabel, {18, 39, 20, 8}},
         {kNone, "Static", "IP Address Type", kNoOrdinal, kLabel, {18, 59, 53, 8}},
         {kNone, "Static", "IP Address", kNoOrdinal, kLabel, {18, 79, 35, 8}},
         {kNone, "Static", "Subnet Mask", kNoOrdinal, kLabel, {18, 99, 43, 8}},
         {kNone, "Static", "Gateway IP Address", kNoOrdinal, kLabel, {18, 119, 65, 8}},
         {kNone, "Static", "TFTP Server IP Address", kNoOrdinal, kLabel, {18, 139, 78, 8}},
         {kNone, "Static", "Image File Name", kNoOrdinal, kLabel, {18, 159, 54, 8}},
         {IDC_CHANGE_PASSWORD_LABEL,
          "Static",
          "Read/Write Password",
          kNoOrdinal,
          kLabel,
          {18, 179, 71, 8}},
         {IDC_CHANGE_MAC_ADDRESS, "Edit", "", kNoOrdinal, kShownEdit, {102, 16, 120, 14}},
         {IDC_CHANGE_WEB_CONFIG,
          "Button",
          "Web Configuration",
          kNoOrdinal,
          kPush,
          {18, 207, 63, 14}},
     }},
    {IDD_CHANGE_SEVERAL,
     "Change Several Devices",
     kFixedFrame,
     0,
     {0, 0, 420, 272},
     {
         {IDC_SEVERAL_DEVICES_LABEL, "Static", "&Devices:", kNoOrdinal, kChild, {7, 7, 60, 8}},
         {IDC_SEVERAL_DEVICE_LIST,
          "SysListView32",
          "",
          kNoOrdinal,
          kChild | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP,
          {7, 17, 406, 110}},
         {IDC_SEVERAL_CHECK_ALL, "Button", "C&heck All", kNoOrdinal, kPush, {7, 131, 50, 14}},
         {IDC_SEVERAL_CHECK_NONE, "Button", "Check &None", kNoOrdinal, kPush, {61, 131, 50, 14}},
         {IDC_SEVERAL_STATUS, "Static", "", kNoOrdinal, kChild | SS_NOPREFIX, {118, 134, 295, 8}},
         {IDC_SEVERAL_TYPE_SET,
          "Button",
          "IP Address &Type",
          kNoOrdinal,
          kCheck | WS_GROUP,
          {7, 154, 94, 10}},
         {IDC_SEVERAL_STATIC,
          "Button",
          "&Static",
          kNoOrdinal,
          kRadio | WS_TABSTOP,
          {104, 154, 40, 10}},
         {IDC_SEVERAL_DYNAMIC,
          "Button",
          "D&ynamic",
          kNoOrdinal,
          kChild | BS_AUTORADIOBUTTON,
          {149, 154, 45, 10}},
         {IDC_SEVERAL_FIRST_IP_SET,
          "Button",
          "&First IP Address",
          kNoOrdinal,
          kCheck | WS_GROUP,
          {7, 171, 94, 10}},
         {IDC_SEVERAL_FIRST_IP, "Edit", "", kNoOrdinal, kEdit, {104, 169, 80, 14}},
         {IDC_SEVERAL_STEP_LABEL, "Static", "St&ep", kNoOrdinal, kChild, {192, 172, 20, 8}},
         {IDC_SEVERAL_STEP, "Edit", "", kNoOrdinal, kEdit | ES_NUMBER, {214, 169, 28, 14}},
         {IDC_SEVERAL_MASK_SET, "Button", "Subnet &Mask", kNoOrdinal, kCheck, {7, 188, 94, 10}},
         {IDC_SEVERAL_MASK, "Edit", "", kNoOrdinal, kEdit, {104, 186, 80, 14}},
         {IDC_SEVERAL_GATEWAY_SET,
          "Button",
          "&Gateway IP Address",
          kNoOrdinal,
          kCheck,
          {7, 205, 94, 10}},
         {IDC_SEVERAL_GATEWAY, "Edit", "", kNoOrdinal, kEdit, {104, 203, 80, 14}},
         {IDC_SEVERAL_TFTP_SET,
          "Button",
          "TFTP Ser&ver IP Address",
          kNoOrdinal,
          kCheck,
          {7, 222, 94, 10}},
         {IDC_SEVERAL_TFTP, "Edit", "", kNoOrdinal, kEdit, {104, 220, 80, 14}},
         {IDC_SEVERAL_IMAGE_SET,
          "Button",
          "&Image File Name",
          kNoOrdinal,
          kCheck,
          {7, 239, 94, 10}},
         {IDC_SEVERAL_IMAGE, "Edit", "", kNoOrdinal, kEdit, {104, 237, 138, 14}},
         {IDC_SEVERAL_PASSWORD_SET,
          "Button",
          "Read/Write Pass&word",
          kNoOrdinal,
          kCheck,
          {7, 256, 94, 10}},
         {IDC_SEVERAL_PASSWORD, "Edit", "", kNoOrdinal, kEdit | ES_PASSWORD, {104, 254, 80, 14}},
         {IDC_SEVERAL_PREVIEW,
          "Button",
          "&Preview",
          kNoOrdinal,
          kDefPush | WS_GROUP,
          {363, 152, 50, 14}},
         {IDC_SEVERAL_APPLY, "Button", "&Apply", kNoOrdinal, kPush, {363, 169, 50, 14}},
         {IDC_SEVERAL_STOP, "Button", "St&op", kNoOrdinal, kPush | WS_DISABLED, {363, 186, 50, 14}},
         {IDC_SEVERAL_SAVE_REPORT,
          "Button",
          "Save &Report...",
          kNoOrdinal,
          kPush | WS_DISABLED,
          {363, 220, 50, 14}},
         {IDCANCEL, "Button", "&Close", kNoOrdinal, kPush, {363, 254, 50, 14}},
     }},
    {IDD_ADAPTER_SELECT,
     "Netsonde Network Adapter Selection",
     kFixedFrame,
     0,
     {0, 0, 261, 55},
     {
         {IDOK, "Button", "OK", kNoOrdinal, kDefPush, {204, 7, 50, 14}},
         {IDC_ADAPTER_COMBO,
          "ComboBox",
          "",
          kNoOrdinal,
          kChild | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP,
          {7, 19, 165, 250}},
         {IDC_ADAPTER_PROMPT,
          "Static",
          "Please Select Network Adapter:",
          kNoOrdinal,
          kLabel,
          {7, 9, 164, 9}},
         {IDC_ADAPTER_CANCEL, "Button", "Cancel", kNoOrdinal, kPush, {204, 33, 50, 14}},
     }},
};

// The bytes of a resource of this executable, or an empty span.
std::pair<const std::uint8_t*, std::size_t> ResourceBytes(int id, LPCSTR type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) {
        return {nullptr, 0};
    }
    HGLOBAL loaded = LoadResource(module, found);
    return {static_cast<const std::uint8_t*>(LockResource(loaded)), SizeofResource(module, found)};
}

// Window class names compare without regard to case (the resource compiler writes capitals).
std::string UpperCase(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string Hex(DWORD v) {
    char text[16];
    wsprintfA(text, "0x%08lX", v);
    return text;
}

TEST(DialogTemplates, MatchTheLayoutTable) {
    for (const DialogLayout& layout : kDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(layout.templateId));
        const auto [bytes, size] = ResourceBytes(layout.templateId, RT_DIALOG);
        ASSERT_NE(bytes, nullptr);
        const auto dialog = ParseDialogTemplateEx(bytes, size);
        ASSERT_TRUE(dialog.has_value()) << "not a complete extended template";
        EXPECT_EQ(dialog->caption, layout.caption);
        EXPECT_EQ(Hex(dialog->style), Hex(layout.style));
        EXPECT_EQ(Hex(dialog->exStyle), Hex(layout.exStyle));
        EXPECT_EQ(dialog->rect, layout.rect);
        EXPECT_EQ(dialog->fontName, "MS Sans Serif");
        EXPECT_EQ(dialog->fontPointSize, 8);
        EXPECT_FALSE(dialog->menu.ordinal.has_value() || !dialog->menu.text.empty());
        ASSERT_EQ(dialog->items.size(), layout.items.size());
        for (std::size_t i = 0; i < layout.items.size(); ++i) {
            const ItemLayout& want = layout.items[i];
            const DialogItem& got = dialog->items[i];
            SCOPED_TRACE("item " + std::to_string(i) + " (id " + std::to_string(want.id) + ")");
            EXPECT_EQ(got.id, want.id);
            EXPECT_EQ(UpperCase(got.className), UpperCase(want.className));
            if (want.ordinal == kNoOrdinal) {
                EXPECT_FALSE(got.text.ordinal.has_value());
                EXPECT_EQ(got.text.text, want.text);
            } else {
                EXPECT_EQ(got.text.ordinal.value_or(0), want.ordinal);
            }
            EXPECT_EQ(Hex(got.style), Hex(want.style));
            EXPECT_EQ(Hex(got.exStyle), Hex(0));
            EXPECT_EQ(got.rect, want.rect);
        }
    }
}

// Every control id of the main window and the chooser is unique within its dialog, so
// GetDlgItem finds the one meant (the Change dialog's id -1 labels are the exception).
TEST(DialogTemplates, NumberedControlsAreUniquePerDialog) {
    for (const DialogLayout& layout : kDialogs) {
        for (std::size_t i = 0; i < layout.items.size(); ++i) {
            for (std::size_t j = i + 1; j < layout.items.size(); ++j) {
                if (layout.items[i].id != kNone) {
                    EXPECT_NE(layout.items[i].id, layout.items[j].id)
                        << "dialog " << layout.templateId;
                }
            }
        }
    }
}

// Alt plus a letter reaches one control only: no access key is used twice in a dialog.
TEST(DialogTemplates, AccessKeysAreUniquePerDialog) {
    for (const DialogLayout& layout : kDialogs) {
        std::string keys;
        for (const ItemLayout& item : layout.items) {
            const char* amp = item.ordinal == kNoOrdinal ? std::strchr(item.text, '&') : nullptr;
            if (amp != nullptr && amp[1] != '\0') {
                const char key =
                    static_cast<char>(std::tolower(static_cast<unsigned char>(amp[1])));
                EXPECT_EQ(keys.find(key), std::string::npos)
                    << "dialog " << layout.templateId << ": &" << amp[1] << " in " << item.text;
                keys += key;
            }
        }
    }
}

// The system builds each dialog from its template: every control exists with its id, so the
// classes are registered and the template is one the dialog manager accepts. Needs a display
// (under Wine without one no window can be created at all, and the test is skipped).
TEST(DialogTemplates, CreateWithEveryControl) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    HWND probe = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (probe == nullptr) {
        GTEST_SKIP() << "no display: windows cannot be created (" << GetLastError() << ")";
    }
    DestroyWindow(probe);
    for (const DialogLayout& layout : kDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(layout.templateId));
        HWND dialog = CreateDialogParamA(
            GetModuleHandleA(nullptr), MAKEINTRESOURCEA(layout.templateId), nullptr,
            [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
        for (const ItemLayout& item : layout.items) {
            if (item.id != kNone) {
                EXPECT_NE(GetDlgItem(dialog, item.id), nullptr) << "id " << item.id;
            }
        }
        DestroyWindow(dialog);
    }
}

TEST(Resources, SocketsFailureString) {
    char text[128] = {};
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_SOCKETS_INIT_FAILED, text, sizeof text),
              0);
    EXPECT_STREQ(text, "Windows sockets initialization failed.");
}

TEST(Resources, IconIs32By32In16Colours) {
    // The icon group names one image of 32 x 32 pixels, 16 colours, 4 bits per pixel.
    const auto [group, size] = ResourceBytes(IDI_NETSONDE, RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(size, 6u + 14u);
    EXPECT_EQ(group[4] | group[5] << 8, 1);  // one image
    EXPECT_EQ(group[6], 32);                 // width
    EXPECT_EQ(group[7], 32);                 // height
    EXPECT_EQ(group[8], 16);                 // colours
    EXPECT_EQ(group[12] | group[13] << 8, 4);
    HICON icon = static_cast<HICON>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_NETSONDE), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr);
    DestroyIcon(icon);
}

TEST(Resources, BannerIs169By43In24Bits) {
    HBITMAP banner =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BANNER),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(banner, nullptr);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectA(banner, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBmih.biWidth, 169);
    EXPECT_EQ(section.dsBmih.biHeight, 43);
    EXPECT_EQ(section.dsBmih.biBitCount, 24);
    DeleteObject(banner);
}

TEST(Resources, ManifestAsksForCommonControls6) {
    const auto [bytes, size] = ResourceBytes(1, RT_MANIFEST);
    ASSERT_NE(bytes, nullptr);
    const std::string manifest(reinterpret_cast<const char*>(bytes), size);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
}

}  // namespace
}  // namespace netsonde
