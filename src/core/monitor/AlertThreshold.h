// The size alert's threshold: kept under "SetPesoAlert", chosen from the five entries of the
// threshold pop-up, and restored at start-up without losing a value the pop-up cannot show.
#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

namespace qz {

class UserDefaults;

class AlertThreshold {
  public:
    static constexpr quint64 kDefault = 300000000;
    // The pop-up's entries in order (decimal units: 300 MB … 2 GB).
    static constexpr std::array<quint64, 5> kChoices = {300000000, 500000000, 750000000, 1000000000,
                                                        2000000000};

    explicit AlertThreshold(UserDefaults& defaults);

    // The pop-up entry showing a threshold: an exact match, else the first entry.
    static int indexForThreshold(quint64 threshold);
    // The threshold of a pop-up entry; no entry (such as -1) gives the default.
    static quint64 thresholdForIndex(int index);

    // The threshold in force: the stored number, else the default. A stored value that is not
    // a whole non-negative number counts as absent.
    quint64 value() const;
    bool isStored() const;
    // Start-up step: writes the threshold in force back (persisting the default on first start,
    // keeping any stored value unchanged) and returns the pop-up index to select.
    int restore();
    // The pop-up's action: stores the chosen entry's threshold and returns it; `written` says
    // whether the settings file took it.
    quint64 chancepesoalert(int index, bool* written = nullptr);

  private:
    bool store(quint64 threshold);
    UserDefaults& defaults_;
};

}  // namespace qz
