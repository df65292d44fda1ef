// A whole theme from untrusted bytes, built and then drawn: every element in
// every image, and every drawing operation the skinned controls call, into
// small canvases. The first byte says what the rest is:
//   'I'  INI text, packed with the bitmaps of the program's own theme;
//   'P'  the contents of a packed theme (deflated here, so that the fuzzer
//        explores the package rather than zlib's checksums);
//   'L'  a ".msstyles" library.
// Seeds come from the program's own theme (fuzz/corpus/theme); running the
// target with QUILLON_WRITE_THEME_SEEDS=DIR writes them anew.
#include "embedded_theme.h"
#include "platform/quillon_error.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"
#include "theme_fuzz_setup.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

using namespace quillon;

namespace {

const TTeThemeMsStyles &ownTheme()
{
    static const std::unique_ptr<TteTheme> theme = [] {
        TTeThemeStream item;
        item.ReadThemeStream(EmbeddedThemeStream());
        return CreateThemeFromItem(item);
    }();
    return dynamic_cast<const TTeThemeMsStyles &>(*theme);
}

// The package of the own theme with other INI text, bitmaps at most side
// pixels wide and high (smaller seeds).
MsStylesPackage ownPackage(std::string iniText, int side)
{
    const TTeThemeMsStyles &own = ownTheme();
    MsStylesPackage package;
    package.Name = own.Name;
    package.IniText = std::move(iniText);
    for (const auto &original : own.Pristine->Bitmaps) {
        auto copy = std::make_unique<TteBitmap>(std::min(original->Width(), side), std::min(original->Height(), side));
        original->DrawOnBitmap(*copy, copy->Rect(), original->Rect(), copy->Rect(), TteDrawMode::Opaque);
        copy->Name = original->Name;
        package.Bitmaps.push_back(std::move(copy));
    }
    return package;
}

std::string packageContents(const MsStylesPackage &package)
{
    const std::string packed = WritePackedTheme(package);
    return InflateZlib(std::string_view(packed).substr(MsStylesSignature.size()), MaxInflatedTheme);
}

void writeSeeds(const std::string &dir)
{
    const std::string ini = ownTheme().Ini.ToText();
    std::ofstream(dir + "/own-ini", std::ios::binary) << 'I' << ini;
    std::ofstream(dir + "/own-package-small-bitmaps", std::ios::binary) << 'P' << packageContents(ownPackage(ini, 8));
}

void drawEverything(TteTheme &theme)
{
    TteBitmap small(24, 24), window(90, 50);
    TteCanvas &c = small.Canvas();
    const std::string object = "default";
    if (auto *ms = dynamic_cast<TTeThemeMsStyles *>(&theme))
        for (const TmsuxThemeObject &e : ms->Elements)
            for (int image = 0; image <= std::min(std::max(e.ImageCount, 1), 16) + 1; ++image)
                e.DrawElement(c, small.Rect(), image);
    TteWindowInfo w;
    w.Rect = window.Rect();
    w.Buttons = 0x3FF;
    w.Caption = "Quillon";
    for (uint8_t kind : {WindowStandard, WindowDialog, WindowToolWindow}) {
        for (uint8_t active : {0, 1}) {
            w.State = active;
            theme.PaintWindowFrame(kind, window.Canvas(), object, w);
            QRect caption;
            theme.GetWindowCaptionRect(kind, w, caption, object);
            theme.PaintWindowCaptionText(kind, window.Canvas(), object, caption, w);
        }
        theme.GetWindowRegion(kind, window.Rect(), object);
        theme.WindowHitTest(kind, w, QPoint(3, 3), object);
        for (uint8_t button = 0; button < 10; ++button) {
            TteButtonInfo b;
            theme.GetWindowButtonRect(kind, w, b.Rect, object, button);
            b.Button = button;
            for (b.State = 0; b.State < 4; ++b.State)
                theme.PaintWindowButton(kind, window.Canvas(), object, b);
        }
    }
    TteElementInfo info;
    info.Rect = small.Rect();
    info.Rect2 = QRect(2, 0, 10, 6);
    for (int state = 0; state < 16; ++state) {
        info.State = uint8_t(state);
        for (int part = 0; part < 10; ++part) {
            info.KindState = MakeKindState(uint8_t(part), uint8_t(state));
            theme.PaintScrollBarButton(0, c, object, info);
            theme.PaintScrollBarTrack(0, c, object, info);
            theme.PaintProgressBar(0, c, object, info);
            theme.PaintHeaderSection(0, c, object, info);
            theme.PaintEditButton(ComboKind, c, object, info);
            theme.PaintMenuItem(MenuPopup, c, object, info);
            theme.PaintMenuItemGlyph(MenuPopup, c, object, info);
            theme.PaintListItemCheck(0, c, object, info);
            theme.PaintTrackBarThumb(0, c, object, info);
            theme.GetTrackBarThumbSize(0, object, info);
        }
        theme.PaintButton(ButtonPush, c, object, info);
        theme.PaintCheckBox(CheckBoxKind, c, object, info);
        theme.PaintCheckBox(RadioButtonKind, c, object, info);
        theme.PaintEdit(EditKind, c, object, info);
        theme.PaintEdit(ComboKind, c, object, info);
        theme.PaintEditFrame(0, c, object, info);
        theme.PaintGroupBox(0, c, object, info);
        theme.PaintStatusPanel(0, c, object, info);
        theme.PaintListItem(0, c, object, info);
    }
    theme.PaintHeader(0, c, object, info);
    theme.PaintStatusBar(0, c, object, info);
    theme.PaintListBox(0, c, object, info);
    theme.PaintPanel(0, c, object, info);
    theme.PaintFrame(0, c, object, info);
    theme.PaintMenu(MenuPopup, c, object, info);
    theme.PaintWindowClient(WindowStandard, c, object, small.Rect());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    StartThemeFuzzing();
    if (const QByteArray dir = qgetenv("QUILLON_WRITE_THEME_SEEDS"); !dir.isEmpty())
        writeSeeds(dir.toStdString());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string rest(reinterpret_cast<const char *>(data) + 1, size - 1);
    TTeThemeMsStyles theme;
    try {
        switch (data[0]) {
        case 'I': theme.LoadFromStream(WritePackedTheme(ownPackage(rest, 64))); break;
        case 'P': theme.LoadFromStream(std::string(MsStylesSignature) + DeflateZlib(rest, 1)); break;
        case 'L': theme.LoadFromLibrary(rest, "fuzzed.msstyles"); break;
        default: return 0;
        }
        drawEverything(theme);
        theme.SetDeltas(40, -20); // built again from the pristine package, shifted
        drawEverything(theme);
    } catch (const QuillonError &) {
    }
    return 0;
}
