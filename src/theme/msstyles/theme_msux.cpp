#include "theme/msstyles/theme_msux.h"

#include "platform/byte_reader.h"
#include "platform/file_system.h"
#include "platform/quillon_error.h"
#include "theme/te_theme_manager.h"

#include <QImage>
#include <QString>

#include <cstring>
#include <fstream>
#include <sstream>
#include <unordered_map>

namespace quillon {

namespace {

constexpr uint16_t RT_BITMAP = 2;

// Zero-terminated UTF-16 strings, ended by an empty one.
std::vector<std::string> utf16List(const std::string &data)
{
    std::vector<std::string> list;
    std::u16string current;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(uint8_t(data[i]) | uint8_t(data[i + 1]) << 8);
        if (c != 0) {
            current += c;
            continue;
        }
        if (current.empty())
            break;
        list.push_back(QString::fromStdU16String(current).toStdString());
        current.clear();
    }
    return list;
}

std::string replaceAll(std::string text, const std::string &from, const std::string &to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

bool LoadDibResource(TteBitmap &bitmap, const std::string &dib)
{
    const ByteReader r(dib);
    const auto headerSize = r.u32(0), width = r.u32(4), height = r.u32(8), compression = r.u32(16);
    const auto bits = r.u16(14);
    if (!headerSize || !width || !height || !bits || !compression || *headerSize < 40)
        return false;
    const int32_t w = static_cast<int32_t>(*width), h = static_cast<int32_t>(*height);
    const long long absH = h < 0 ? -static_cast<long long>(h) : h;
    // The three colour masks of BI_BITFIELDS follow a plain 40-byte header;
    // the V4 and V5 headers hold them inside.
    const uint32_t maskBytes = *compression == 3 && *headerSize == 40 ? 12 : 0;
    if (w < 1 || absH < 1 || w > TteBitmap::MaxSide || absH > TteBitmap::MaxSide)
        return false;
    if (*bits == 32 && (*compression == 0 || *compression == 3)) {
        const size_t pixelsAt = size_t(*headerSize) + maskBytes;
        const size_t bytes = size_t(w) * size_t(absH) * 4;
        const auto pixels = r.bytes(pixelsAt, bytes);
        if (!pixels)
            return false;
        bitmap.SetSize(w, static_cast<int>(absH));
        std::memcpy(bitmap.Bits(), pixels->data(), bytes);
        if (h > 0)
            bitmap.FlipVertical(); // stored bottom-up
        bitmap.UpdateAlphaFlag();
        return true;
    }
    // Other depths through the image reader, with the file header put back.
    std::string file = "BM";
    const uint32_t fileSize = static_cast<uint32_t>(14 + dib.size());
    uint32_t colours = r.u32(32).value_or(0);
    if (colours == 0 && *bits <= 8)
        colours = 1u << *bits;
    const uint32_t offset = 14 + *headerSize + colours * 4 + maskBytes;
    for (uint32_t v : {fileSize, 0u, offset})
        for (int i = 0; i < 4; ++i)
            file += static_cast<char>(v >> (8 * i) & 0xFF);
    file += dib;
    const QImage image =
        QImage::fromData(reinterpret_cast<const uchar *>(file.data()), static_cast<int>(file.size()), "BMP");
    if (image.isNull())
        return false;
    bitmap.Assign(image.convertToFormat(QImage::Format_RGB32));
    return true;
}

TTeThemeMsStyles::TTeThemeMsStyles()
{
    for (QFont *f : {&MenuFont, &StatusFont, &MsgBoxFont}) {
        *f = QFont("Tahoma");
        f->setPointSize(8);
    }
}

namespace {
TteThemeConfig msStylesConfig()
{
    TteThemeConfig config;
    config.Builtin = false;
    config.CanSave = true;
    config.CanLoad = true;
    config.FileFilter = "Microsoft msstyles (*.msstyles)|*.msstyles|Theme files (*.theme)|*.theme";
    config.DefaultExt = "msstyles";
    return config;
}
} // namespace

TteThemeClass TTeThemeMsStyles::ThemeClass()
{
    TteThemeClass c;
    c.TypeName = "Microsoft msstyles";
    c.Config = msStylesConfig();
    c.Create = [] { return std::make_unique<TTeThemeMsStyles>(); };
    c.CanLoadStream = [](std::string_view s) { return s.substr(0, MsStylesSignature.size()) == MsStylesSignature; };
    return c;
}

TteThemeConfig TTeThemeMsStyles::GetThemeConfig() const { return msStylesConfig(); }

bool TTeThemeMsStyles::IsEmptyTheme() const { return Bitmaps.Count() == 0 || !Elements[el::PushButton].Defined; }

bool TTeThemeMsStyles::CanLoadStream(std::string_view stream) const
{
    return stream.substr(0, MsStylesSignature.size()) == MsStylesSignature;
}

void TTeThemeMsStyles::ReadPacked(std::string_view bytes)
{
    Bitmaps.Clear();
    for (TmsuxThemeObject &e : Elements)
        e = TmsuxThemeObject(); // their links pointed into the old bitmaps
    Pristine.reset();
    auto package = ReadPackedTheme(bytes);
    if (!package)
        return;
    ThemeName = Name = package->Name;
    Ini.LoadFromText(package->IniText);
    Pristine = std::make_shared<const MsStylesPackage>(std::move(*package));
}

bool TTeThemeMsStyles::LoadFromStream(std::string_view stream)
{
    ReadPacked(stream);
    UpdateTheme();
    return true;
}

bool TTeThemeMsStyles::SaveToStream(std::string &stream)
{
    MsStylesPackage package;
    package.Name = Name;
    package.IniText = Ini.ToText();
    for (int i = 0; i < Bitmaps.Count(); ++i) {
        auto copy = std::make_unique<TteBitmap>();
        copy->Assign(*Bitmaps.Items(i));
        package.Bitmaps.push_back(std::move(copy));
    }
    stream += WritePackedTheme(package);
    return true;
}

namespace {
// A ".theme" file (any letter case) holds the packed form.
bool isPackedThemeFile(std::string_view fileName)
{
    return fileName.size() >= 6 && SameTextIgnoringCase(fileName.substr(fileName.size() - 6), ".theme");
}
} // namespace

bool TTeThemeMsStyles::SaveToFile(const std::string &fileName)
{
    if (!isPackedThemeFile(fileName))
        return false;
    std::string bytes;
    SaveToStream(bytes);
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

bool TTeThemeMsStyles::LoadFromFile(const std::string &fileName)
{
    const auto bytes = ReadWholeFile(fileName, MaxThemeFileBytes);
    if (!bytes)
        return false;
    if (isPackedThemeFile(fileName)) {
        LoadFromStream(*bytes);
        FileName = fileName;
        return true;
    }
    return LoadFromLibrary(*bytes, fileName);
}

bool TTeThemeMsStyles::LoadFromLibrary(std::string_view bytes, const std::string &fileName)
{
    Library = PeFile::Parse(std::string(bytes));
    if (!Library)
        return false;
    struct Done { // the library is let go however the build ends
        std::optional<PeFile> &Library;
        ~Done() { Library.reset(); }
    } done{Library};
    LibraryFile = fileName;
    const size_t slash = fileName.find_last_of('/');
    std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    const size_t dot = base.find('.');
    if (dot != std::string::npos)
        base.erase(dot, 9); // at most 9 characters from the first dot
    ThemeName = Name = base;
    auto list = [this](const char *type) {
        const PeResource *r = Library->Find(std::string(type), ResourceId(uint16_t(1)));
        return r ? utf16List(r->Data) : std::vector<std::string>();
    };
    ColorNames = list("COLORNAMES");
    SizeNames = list("SIZENAMES");
    IniResourceNames = list("FILERESNAMES");
    const size_t index = SizeNames.size() * size_t(std::max(ColorIndex, 0)) + size_t(std::max(SizeIndex, 0));
    bool loaded = false;
    if (!ColorNames.empty() && !SizeNames.empty() && index < IniResourceNames.size()) {
        if (const PeResource *text = Library->Find(std::string("TEXTFILE"), ResourceId(IniResourceNames[index]))) {
            std::u16string wide(text->Data.size() / 2, u'\0');
            std::memcpy(wide.data(), text->Data.data(), wide.size() * 2);
            if (!wide.empty() && wide[0] == 0xFEFF)
                wide.erase(0, 1);
            Ini.LoadFromText(replaceAll(QString::fromStdU16String(wide).toStdString(), " = ", "="));
            Bitmaps.Clear();
            Pristine.reset();
            FileName = fileName;
            UpdateTheme(); // loads the named bitmaps from the library
            loaded = true;
        }
    }
    return loaded;
}

void TTeThemeMsStyles::Assign(const TteTheme &source)
{
    TteTheme::Assign(source);
    auto *other = dynamic_cast<const TTeThemeMsStyles *>(&source);
    if (!other)
        return;
    ThemeName = Name;
    Ini = other->Ini;
    Pristine = other->Pristine;
    if (other->Built() && DeltaHue_ == other->DeltaHue_ && DeltaBrightness_ == other->DeltaBrightness_) {
        CopyBuiltFrom(*other); // what a build would make from the same data
        return;
    }
    Bitmaps.Clear();
    for (TmsuxThemeObject &e : Elements)
        e = TmsuxThemeObject();
    UpdateTheme();
}

void TTeThemeMsStyles::CopyBuiltFrom(const TTeThemeMsStyles &other)
{
    std::unordered_map<const TteBitmap *, TteBitmap *> copyOf;
    Bitmaps.Clear();
    for (int i = 0; i < other.Bitmaps.Count(); ++i) {
        auto copy = std::make_unique<TteBitmap>();
        copy->Assign(*other.Bitmaps.Items(i));
        copyOf[other.Bitmaps.Items(i)] = &Bitmaps.Add(std::move(copy));
    }
    Elements = other.Elements;
    for (TmsuxThemeObject &e : Elements)
        for (TteBitmapLink *link : {&e.Image, &e.Image1, &e.Image2, &e.Image3, &e.GlyphImage})
            if (link->Bitmap)
                link->Bitmap = copyOf.at(link->Bitmap);
    CaptionBarHeight = other.CaptionBarHeight;
    SmallCaptionBarHeight = other.SmallCaptionBarHeight;
    BorderWidth = other.BorderWidth;
    SmallBorderWidth = other.SmallBorderWidth;
    MenuBarColor = other.MenuBarColor;
    MenuColor = other.MenuColor;
    MenuHighlightColor = other.MenuHighlightColor;
    TabFillColor = other.TabFillColor;
    MenuFont = other.MenuFont;
    StatusFont = other.StatusFont;
    MsgBoxFont = other.MsgBoxFont;
}

TteBitmap *TTeThemeMsStyles::BitmapNamed(const std::string &name)
{
    if (TteBitmap *known = Bitmaps.FindBitmap(name))
        return known;
    auto bitmap = std::make_unique<TteBitmap>();
    bitmap->Name = name;
    if (Library)
        if (const PeResource *r = Library->Find(ResourceId(RT_BITMAP), ResourceId(name)))
            LoadDibResource(*bitmap, r->Data); // a failure leaves it empty
    return &Bitmaps.Add(std::move(bitmap));
}

void TTeThemeMsStyles::UpdateTheme()
{
    if (!Ini.Empty()) {
        if (Pristine) { // unshifted bitmaps again: shifts never add up
            Bitmaps.Clear();
            for (TmsuxThemeObject &e : Elements)
                e = TmsuxThemeObject();
            for (const auto &bitmap : Pristine->Bitmaps) {
                auto copy = std::make_unique<TteBitmap>();
                copy->Assign(*bitmap);
                Bitmaps.Add(std::move(copy));
            }
        }
        const TmsuxThemeObject::BitmapSource source = [this](const std::string &name) { return BitmapNamed(name); };
        for (size_t i = 0; i < Elements.size(); ++i) {
            Elements[i] = TmsuxThemeObject();
            Elements[i].Load(Ini, ElementSections[i], source);
        }
        CaptionBarHeight = ParseThemeInteger(Ini.ReadString("SysMetrics", "CaptionBarHeight", "25"));
        SmallCaptionBarHeight = ParseThemeInteger(Ini.ReadString("SysMetrics", "SMCaptionBarHeight", "17"));
        BorderWidth = ParseThemeInteger(Ini.ReadString("SysMetrics", "BorderWidth", "4"));
        SmallBorderWidth = ParseThemeInteger(Ini.ReadString("SysMetrics", "SMBorderWidth", "3"));
        if (!Pristine) { // a library's theme: its bitmaps were just read
            auto package = std::make_shared<MsStylesPackage>();
            package->Name = Name;
            package->IniText = Ini.ToText();
            for (int i = 0; i < Bitmaps.Count(); ++i) {
                auto copy = std::make_unique<TteBitmap>();
                copy->Assign(*Bitmaps.Items(i));
                package->Bitmaps.push_back(std::move(copy));
            }
            Pristine = std::move(package);
        }
        if (DeltaHue_ != 0 || DeltaBrightness_ != 0) {
            for (int i = 0; i < Bitmaps.Count(); ++i) {
                Bitmaps.Items(i)->ShiftHue(DeltaHue_);
                Bitmaps.Items(i)->ShiftBrightness(DeltaBrightness_);
            }
            for (TmsuxThemeObject &e : Elements)
                if (e.Defined)
                    for (ThemeColor *c : {&e.FillColor, &e.BorderColor, &e.TextColor})
                        *c = Shifted(*c);
        }
    }
    TteTheme::UpdateTheme();
}

void TTeThemeMsStyles::ResetColors()
{
    TteTheme::ResetColors();
    if (IsEmptyTheme())
        return;
    Colors[7] =
        Shifted(Elements[el::PushButton].FillColorHint); // the element's own colours were shifted as it was built
    for (int i : {18, 19, 20, 21})
        Colors[size_t(i)] = Elements[el::ListView].FillColor;
}

void TTeThemeMsStyles::ResetSysColors()
{
    if (IsEmptyTheme()) {
        TteTheme::ResetSysColors();
        return;
    }
    for (size_t i = 0; i < SysColors.size(); ++i)
        SysColors[i] = ResolveColor(ThemeSysColorConstants[i]);
    const std::pair<const char *, ThemeColor> fromIni[] = {{"Window", clWindow},
                                                           {"BtnFace", clBtnFace},
                                                           {"Highlight", clHighlight},
                                                           {"BtnShadow", clBtnShadow},
                                                           {"HighlightText", clHighlightText}};
    for (const auto &[key, constant] : fromIni)
        SetThemeSysColor(constant, ParseThemeColor(Ini.ReadString("SysMetrics", key, "100 100 100")));
    TabFillColor = ParseThemeColor(Ini.ReadString("Tab.Pane", "FillColorHint", "0 0 0"));
    MenuColor = Shifted(ParseThemeColor(Ini.ReadString("SysMetrics", "Menu", "100 100 100")));
    MenuBarColor = Shifted(ParseThemeColor(Ini.ReadString("SysMetrics", "MenuBar", "100 100 100")));
    MenuHighlightColor = Shifted(ParseThemeColor(Ini.ReadString("SysMetrics", "MenuHilight", "100 100 100")));
    for (ThemeColor &c : SysColors)
        c = Shifted(c);
}

void TTeThemeMsStyles::ResetFonts()
{
    TteTheme::ResetFonts();
    if (IsEmptyTheme())
        return;
    const QFont caption = ParseThemeFont(Ini.ReadString("SysMetrics", "CaptionFont", "Tahoma,10"));
    for (int i : {0, 1}) {
        Fonts[size_t(i)].Font.setFamily(caption.family());
        Fonts[size_t(i)].Font.setPointSize(caption.pointSize());
    }
    Fonts[0].Color = Shifted(ParseThemeColor(Ini.ReadString("SysMetrics", "CaptionText", "255 255 255")));
    Fonts[1].Color = Shifted(ParseThemeColor(Ini.ReadString("SysMetrics", "InactiveCaptionText", "255 255 255")));
    MenuFont = ParseThemeFont(Ini.ReadString("SysMetrics", "MenuFont", "Tahoma, 8"));
    StatusFont = ParseThemeFont(Ini.ReadString("SysMetrics", "StatusFont", "Tahoma, 8"));
    MsgBoxFont = ParseThemeFont(Ini.ReadString("SysMetrics", "MsgBoxFont", "Tahoma, 8"));
    const ThemeColor highlight = Shifted(ParseThemeColor(Ini.ReadString("SysMetrics", "HighlightText", "100 100 100")));
    for (int i : {35, 36, 63, 64})
        Fonts[size_t(i)].Color = highlight;
    if (Elements[el::PushButton].Defined) {
        for (int i = 10; i <= 14; ++i)
            Fonts[size_t(i)] = ThemeFont{MsgBoxFont, Elements[el::PushButton].TextColor};
        if (Elements[el::PushButtonDisabled].Defined)
            Fonts[14].Color = Elements[el::PushButtonDisabled].TextColor;
    }
}

} // namespace quillon
