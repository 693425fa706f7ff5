// `quenzel threshold [INDEX]`: shows the size-alert threshold, or stores the one of a pop-up entry.
#include "cli/Commands.h"
#include "core/care/SizeText.h"
#include "core/formats/Localization.h"
#include "core/monitor/AlertThreshold.h"
#include "core/settings/UserDefaults.h"

namespace qz {

int runThreshold(CliContext& context, const QStringList& arguments) {
    if (arguments.size() > 1) {
        return CommandLine::usageError(context,
                                       QStringLiteral("threshold: expected at most one INDEX"));
    }
    AlertThreshold threshold(UserDefaults::standard());
    const Localization& texts = Localization::shared();
    if (arguments.isEmpty()) {
        const quint64 bytes = threshold.value();
        context.out << QStringLiteral("%1 bytes (%2), pop-up entry %3%4\n")
                           .arg(bytes)
                           .arg(convertSizeToString(bytes, texts))
                           .arg(AlertThreshold::indexForThreshold(bytes))
                           .arg(threshold.isStored() ? QString() : QStringLiteral(", not stored"));
        context.out.flush();
        return CommandLine::kOk;
    }
    bool ok = false;
    const int index = arguments.first().toInt(&ok);
    // Only the pop-up's entries; anything else would quietly store the default instead.
    if (!ok || index < 0 || index >= static_cast<int>(AlertThreshold::kChoices.size())) {
        return CommandLine::usageError(
            context,
            QStringLiteral("threshold: \"%1\" is not a pop-up index (0-4)").arg(arguments.first()));
    }
    bool written = false;
    const quint64 bytes = threshold.chancepesoalert(index, &written);
    if (!written) {
        context.err << "quenzel: threshold: the settings file "
                    << UserDefaults::standard().filePath()
                    << " could not be written: " << UserDefaults::standard().lastError()
                    << Qt::endl;
        return 1;
    }
    context.out << QStringLiteral("Stored %1 bytes (%2)\n")
                       .arg(bytes)
                       .arg(convertSizeToString(bytes, texts));
    context.out.flush();
    return CommandLine::kOk;
}

}  // namespace qz
