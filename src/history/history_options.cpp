#include "history_options.h"

#include "kit/printable.h"

#include <array>
#include <utility>
#include <variant>

namespace zavok::history {

namespace {

constexpr int kMostHistoryDays = 36500;

constexpr std::array kRules = {
    kit::OptionRule{"history-days", kit::Takes::Value, kit::Scope::Run, "a number of days, as in --history-days=400"},
    kit::OptionRule{"history-csv", kit::Takes::MaybeValue, kit::Scope::CommandLine, nullptr},
    kit::OptionRule{"from", kit::Takes::Value, kit::Scope::CommandLine, "a day, as in --from=2026-12-01"},
    kit::OptionRule{"to", kit::Takes::Value, kit::Scope::CommandLine, "a day, as in --to=2026-12-31"},
};

std::variant<QDate, kit::Refusal> day(const kit::Setting& setting) {
    const QDate date = QDate::fromString(setting.value, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) {
        return kit::Refusal{
            QStringLiteral("%1: '%2' is no day; write YYYY-MM-DD").arg(setting.origin, kit::printable(setting.value))};
    }
    return date;
}

} // namespace

kit::OptionRules historyRules() {
    return kRules;
}

QString historyUsage() {
    // A description begins on its option's line: help2man takes one on the next line for a paragraph of its own.
    return QStringLiteral("  --history-days=N  keep N days of history (default: 400)\n"
                          "  --history-csv[=N]  print the history of channel N, or of every channel, as CSV lines\n"
                          "                     (time,channel,min,mean,max,count) and exit\n"
                          "  --from=YYYY-MM-DD, --to=YYYY-MM-DD  the first and the last day that --history-csv "
                          "prints\n");
}

std::optional<kit::Refusal> readHistoryOptions(const kit::Settings& settings, int& days,
                                               std::optional<HistoryExport>& csv) {
    if (const kit::Setting* asked = kit::given(settings, "history-csv")) {
        csv.emplace();
        if (!asked->value.isEmpty()) {
            bool ok = false;
            const int channel = asked->value.toInt(&ok);
            if (!ok || channel < 1 || channel > 4) {
                return kit::Refusal{
                    QStringLiteral("--history-csv=%1: the channel is 1, 2, 3 or 4").arg(kit::printable(asked->value))};
            }
            csv->channel = channel;
        }
    }
    if (const kit::Setting* kept = kit::given(settings, "history-days")) {
        bool ok = false;
        days = kept->value.toInt(&ok);
        if (!ok || days < 1 || days > kMostHistoryDays) {
            return kit::Refusal{QStringLiteral("%1: '%2' is no number of days from 1 to %3")
                                    .arg(kept->origin, kit::printable(kept->value), QString::number(kMostHistoryDays))};
        }
    }
    for (const auto& [name, bound] : {std::pair{"from", &HistoryExport::from}, std::pair{"to", &HistoryExport::to}}) {
        const kit::Setting* given = kit::given(settings, name);
        if (given == nullptr) {
            continue;
        }
        if (!csv) {
            return kit::Refusal{
                QStringLiteral("%1 chooses the days of --history-csv, which is not given").arg(given->origin)};
        }
        const auto date = day(*given);
        if (const auto* refusal = std::get_if<kit::Refusal>(&date)) {
            return *refusal;
        }
        (*csv).*bound = std::get<QDate>(date);
    }
    if (csv && csv->from && csv->to && *csv->from > *csv->to) {
        return kit::Refusal{QStringLiteral("--from is after --to")};
    }
    return std::nullopt;
}

} // namespace zavok::history
