#include "theme/te_engine.h"

#include "platform/text_case.h"

#include <algorithm>
#include <cctype>

namespace quillon {

namespace {

// The registered class that needs no data and answers to name.
const TteThemeClass *builtinClassNamed(const std::string &name)
{
    TteThemeManager &manager = TteThemeManager::Instance();
    for (int i = 0; i < manager.ThemeClassCount(); ++i) {
        const TteThemeClass *c = manager.ThemeClassAt(i);
        if (c->Config.Builtin && SameTextIgnoringCase(c->TypeName, name))
            return c;
    }
    return nullptr;
}

// The ThemeBuilding rule shared by the engine and the link: the property takes
// the name, "No theme" selects nothing, and a name no data-less class answers
// to turns back into "No theme".
const TteThemeClass *takeBuildingName(std::string &property, const std::string &value)
{
    property = value;
    if (value == NoThemeName)
        return nullptr;
    const TteThemeClass *c = builtinClassNamed(value);
    if (!c)
        property = NoThemeName;
    return c;
}

} // namespace

std::unique_ptr<TteTheme> CreateThemeFromItem(TTeThemeStream &item)
{
    if (item.PackedData.empty())
        return nullptr;
    TteThemeManager &manager = TteThemeManager::Instance();
    if (!item.Parsed || item.ParsedFrom != item.PackedData) {
        item.Parsed.reset();
        std::shared_ptr<TteTheme> parsed = manager.LoadThemeFromStream(item.PackedData);
        if (!parsed)
            return nullptr;
        item.Parsed = std::move(parsed);
        item.ParsedFrom = item.PackedData;
    }
    return manager.CopyTheme(*item.Parsed);
}

// ---- Engine

TTeThemeEngine::TTeThemeEngine() { TteThemeManager::Instance().AddThemeClient(this); }

TTeThemeEngine::~TTeThemeEngine()
{
    QObject::disconnect(ListWatch);
    TteThemeManager::Instance().RemoveThemeClient(this);
}

void TTeThemeEngine::ApplyShifts()
{
    TteThemeManager &m = TteThemeManager::Instance();
    if (DeltaHue_ != 0)
        m.SetThemeDeltaHue(DeltaHue_);
    if (DeltaBrightness_ != 0)
        m.SetThemeDeltaBrightness(DeltaBrightness_);
}

void TTeThemeEngine::SetThemeIndex(int value)
{
    ThemeIndex_ = value;
    if (Loading)
        return; // Loaded selects it, once
    if (ThemeList_ && !ThemeList_->Themes.empty() && value >= 0) {
        ThemeIndex_ = std::min(value, static_cast<int>(ThemeList_->Themes.size()) - 1);
        std::unique_ptr<TteTheme> theme = CreateThemeFromItem(ThemeList_->Themes[size_t(ThemeIndex_)]);
        if (!theme)
            return;
        TteThemeManager::Instance().SetCurrentTheme(std::move(theme));
        ApplyShifts();
        ThemeFile_.clear();
        ThemeBuilding_ = NoThemeName;
        return;
    }
    if (ThemeFile_.empty())
        TteThemeManager::Instance().ClearCurrentTheme();
}

void TTeThemeEngine::SetThemeFile(const std::string &value)
{
    ThemeFile_ = value;
    std::unique_ptr<TteTheme> theme = TteThemeManager::Instance().LoadThemeFromFile(value);
    if (theme) {
        TteThemeManager::Instance().SetCurrentTheme(std::move(theme));
        ApplyShifts();
        ThemeIndex_ = -1;
        ThemeBuilding_ = NoThemeName;
    } else if (ThemeIndex_ == -1) {
        TteThemeManager::Instance().ClearCurrentTheme();
    }
}

void TTeThemeEngine::SetThemeBuilding(const std::string &value)
{
    const TteThemeClass *c = takeBuildingName(ThemeBuilding_, value);
    if (!c)
        return;
    TteThemeManager::Instance().SetCurrentTheme(c->Create());
    ApplyShifts();
    ThemeFile_.clear();
    ThemeIndex_ = -1;
    ThemeBuilding_ = c->TypeName;
}

void TTeThemeEngine::SetThemeList(TTeThemeList *list)
{
    QObject::disconnect(ListWatch);
    ThemeList_ = list;
    if (list)
        ListWatch = QObject::connect(list, &QObject::destroyed, this, [this] { ListGone(); });
    else
        SetThemeIndex(-1);
}

void TTeThemeEngine::ListGone()
{
    TteThemeManager::Instance().ClearCurrentTheme();
    ThemeList_ = nullptr;
    SetThemeIndex(-1);
}

void TTeThemeEngine::SetDeltaHue(int value)
{
    if (value == DeltaHue_)
        return;
    DeltaHue_ = value;
    if (DeltaBrightness_ != 0)
        TteThemeManager::Instance().SetThemeDeltas(value, DeltaBrightness_);
    else
        TteThemeManager::Instance().SetThemeDeltaHue(value);
}

void TTeThemeEngine::SetDeltaBrightness(int value)
{
    if (value == DeltaBrightness_)
        return;
    DeltaBrightness_ = value;
    if (DeltaHue_ != 0)
        TteThemeManager::Instance().SetThemeDeltas(DeltaHue_, value);
    else
        TteThemeManager::Instance().SetThemeDeltaBrightness(value);
}

void TTeThemeEngine::Loaded()
{
    Loading = false;
    if (ThemeList_ && ThemeIndex_ >= 0)
        SetThemeIndex(ThemeIndex_);
}

bool TTeThemeEngine::event(QEvent *e)
{
    if (e->type() != TteMessageEvent::EventType())
        return QObject::event(e);
    const auto *message = static_cast<TteMessageEvent *>(e);
    if (message->Message != WM_TETHEMECHANGE)
        return true;
    const intptr_t code = message->WParam;
    if (!Loading && (code == 0 || code == 3)) {
        if (TteTheme *theme = TteThemeManager::Instance().CurrentTheme()) {
            if (theme->GetThemeConfig().Builtin) {
                ThemeBuilding_ = theme->GetThemeTypeName();
                ThemeIndex_ = -1;
                ThemeFile_.clear();
            } else {
                ThemeBuilding_ = NoThemeName;
                if (!ThemeFile_.empty() || theme->FileName.empty()) {
                    if (ThemeList_)
                        for (size_t i = 0; i < ThemeList_->Themes.size(); ++i)
                            if (ThemeList_->Themes[i].ThemeStore == theme->Name) {
                                ThemeFile_.clear();
                                ThemeIndex_ = static_cast<int>(i);
                                break;
                            }
                } else {
                    ThemeFile_ = theme->FileName;
                    ThemeIndex_ = -1;
                }
            }
        }
    } else if (!Loading && code == 4) {
        ThemeFile_.clear();
        ThemeBuilding_ = NoThemeName;
        ThemeIndex_ = -1;
    }
    if ((code == 0 || code == 3 || code == 4) && OnThemeChanged)
        OnThemeChanged(*this);
    return true;
}

// ---- Link

TTeThemeLink::~TTeThemeLink() { QObject::disconnect(ListWatch); }

void TTeThemeLink::ShiftNewTheme(TteTheme &theme) const
{
    // Only the shifts that are set; a new theme starts unshifted.
    if (DeltaHue_ != 0)
        theme.SetDeltaHue(DeltaHue_);
    if (DeltaBrightness_ != 0)
        theme.SetDeltaBrightness(DeltaBrightness_);
}

void TTeThemeLink::Replace(std::unique_ptr<TteTheme> theme)
{
    OwnTheme = std::move(theme);
    TteThemeManager::Instance().NotifyThemeLink(this);
}

void TTeThemeLink::SetThemeIndex(int value)
{
    ThemeIndex_ = value;
    if (Loading)
        return; // Loaded selects it, once
    if (ThemeList_ && !ThemeList_->Themes.empty() && value >= 0) {
        ThemeIndex_ = std::min(value, static_cast<int>(ThemeList_->Themes.size()) - 1);
        std::unique_ptr<TteTheme> theme = CreateThemeFromItem(ThemeList_->Themes[size_t(ThemeIndex_)]);
        if (!theme)
            return;
        ShiftNewTheme(*theme);
        ThemeFile_.clear();
        ThemeBuilding_ = NoThemeName;
        Replace(std::move(theme));
        return;
    }
    if (OwnTheme)
        Replace(nullptr);
}

void TTeThemeLink::SetThemeFile(const std::string &value)
{
    std::unique_ptr<TteTheme> theme = TteThemeManager::Instance().LoadThemeFromFile(value);
    if (!theme)
        return; // the link keeps the theme it has
    ThemeFile_ = value;
    ShiftNewTheme(*theme);
    ThemeIndex_ = -1;
    ThemeBuilding_ = NoThemeName;
    Replace(std::move(theme));
}

void TTeThemeLink::SetThemeBuilding(const std::string &value)
{
    const TteThemeClass *c = takeBuildingName(ThemeBuilding_, value);
    if (!c)
        return;
    std::unique_ptr<TteTheme> theme = c->Create();
    ShiftNewTheme(*theme);
    ThemeFile_.clear();
    ThemeIndex_ = -1;
    ThemeBuilding_ = c->TypeName;
    Replace(std::move(theme));
}

void TTeThemeLink::SetThemeList(TTeThemeList *list)
{
    QObject::disconnect(ListWatch);
    ThemeList_ = list;
    if (list)
        ListWatch = QObject::connect(list, &QObject::destroyed, this, [this] {
            ThemeList_ = nullptr;
            SetThemeIndex(-1);
        });
    else
        SetThemeIndex(-1);
}

void TTeThemeLink::SetDeltaHue(int value)
{
    DeltaHue_ = value;
    if (OwnTheme)
        OwnTheme->SetDeltaHue(value);
    TteThemeManager::Instance().NotifyThemeLink(this);
}

void TTeThemeLink::SetDeltaBrightness(int value)
{
    DeltaBrightness_ = value;
    if (OwnTheme)
        OwnTheme->SetDeltaBrightness(value);
    TteThemeManager::Instance().NotifyThemeLink(this);
}

void TTeThemeLink::Loaded()
{
    Loading = false;
    if (ThemeList_ && ThemeIndex_ >= 0)
        SetThemeIndex(ThemeIndex_);
}

} // namespace quillon
