// The rider's setup: the sprockets, tyre and circumference the Details page holds. The Details
// page keeps it up to date as the rider types; the other pages read it here, never from the
// Details page's widgets, and listen to setupChanged. Widget-free.
#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

namespace gearsheet {

// The most teeth a sprocket may have, on every page.
inline constexpr int kMaxTeeth = 199;

// Whole teeth: a number as the system locale writes it, rounded half to even (as the speed table
// takes it), from 1 to kMaxTeeth; nothing for any other text.
std::optional<int> TeethFromText(const QString& text);

// A rolling circumference in inches: a finite number above zero; nothing for any other text.
std::optional<double> CircumferenceFromText(const QString& text);

// A tyre type of the settings file and its circumference as the Details page shows it.
struct ListedTyre {
    QString name;
    QString circumference;
};

class SetupModel final : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The texts as entered on the Details page, which the speed table works from.
    const QString& FrontText() const { return front_; }
    const QString& RearText() const { return rear_; }
    const QString& CircumferenceText() const { return circumference_; }
    // The tyre list's text: the chosen tyre's name, or what was typed there.
    const QString& Tyre() const { return tyre_; }
    // The tyre types on offer, in the settings file's order.
    const std::vector<ListedTyre>& Tyres() const { return tyres_; }

    // The same as typed values; nothing where the text is not one.
    std::optional<int> Front() const { return TeethFromText(front_); }
    std::optional<int> Rear() const { return TeethFromText(rear_); }
    std::optional<double> Circumference() const { return CircumferenceFromText(circumference_); }

    // Each emits setupChanged once when it changes anything.
    void SetFrontText(const QString& text);
    void SetRearText(const QString& text);
    void SetCircumferenceText(const QString& text);
    void SetTyre(const QString& name);
    void SetTyres(std::vector<ListedTyre> tyres);
    // Both sprockets at once, as typed elsewhere ("Copy Values").
    void SetSprockets(const QString& front, const QString& rear);

    // Takes a proposed setup as the rider's ("Copy to Details"): the sprockets, the circumference
    // and, when it is one of Tyres(), the tyre. Refused, nothing changed, when a sprocket or the
    // circumference is not one; the reason is returned as a sentence for the rider.
    std::optional<QString> Adopt(int front, int rear, const QString& circumference,
                                 const QString& tyre);

  signals:
    void setupChanged();

  private:
    // Sets `field` to `text`; true when that changed it.
    static bool Change(QString& field, const QString& text);

    QString front_;
    QString rear_;
    QString circumference_;
    QString tyre_;
    std::vector<ListedTyre> tyres_;
};

}  // namespace gearsheet
