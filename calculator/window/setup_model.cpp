#include "window/setup_model.h"

#include <cmath>

#include "ui/locale_numbers.h"

namespace gearsheet {

std::optional<int> TeethFromText(const QString& text) {
    const auto value = ParseLocaleNumber(text);
    if (!value)
        return std::nullopt;
    const double teeth = std::nearbyint(*value);
    if (teeth < 1 || teeth > kMaxTeeth)
        return std::nullopt;
    return static_cast<int>(teeth);
}

std::optional<double> CircumferenceFromText(const QString& text) {
    const auto value = ParseLocaleNumber(text);
    return value && *value > 0 ? value : std::nullopt;
}

bool SetupModel::Change(QString& field, const QString& text) {
    if (field == text)
        return false;
    field = text;
    return true;
}

void SetupModel::SetFrontText(const QString& text) {
    if (Change(front_, text))
        emit setupChanged();
}

void SetupModel::SetRearText(const QString& text) {
    if (Change(rear_, text))
        emit setupChanged();
}

void SetupModel::SetCircumferenceText(const QString& text) {
    if (Change(circumference_, text))
        emit setupChanged();
}

void SetupModel::SetTyre(const QString& name) {
    if (Change(tyre_, name))
        emit setupChanged();
}

void SetupModel::SetTyres(std::vector<ListedTyre> tyres) {
    tyres_ = std::move(tyres);
    emit setupChanged();
}

void SetupModel::SetSprockets(const QString& front, const QString& rear) {
    const bool changed = Change(front_, front);
    if (Change(rear_, rear) || changed)
        emit setupChanged();
}

std::optional<QString> SetupModel::Adopt(int front, int rear, const QString& circumference,
                                         const QString& tyre) {
    const QString frontText = LocaleNumberText(front);
    const QString rearText = LocaleNumberText(rear);
    if (!TeethFromText(frontText) || !TeethFromText(rearText))
        return QStringLiteral(
                   "Nothing was copied: the sprockets must be whole numbers of teeth "
                   "from 1 to %1.")
            .arg(kMaxTeeth);
    if (!CircumferenceFromText(circumference))
        return QStringLiteral(
            "Nothing was copied: the proposed circumference must be a number above zero.");
    bool changed = Change(front_, frontText);
    changed = Change(rear_, rearText) || changed;
    changed = Change(circumference_, circumference) || changed;
    for (const ListedTyre& listed : tyres_)
        if (listed.name == tyre)
            changed = Change(tyre_, tyre) || changed;
    if (changed)
        emit setupChanged();
    return std::nullopt;
}

}  // namespace gearsheet
