#include "trend_windows.h"
#include "trends.h"

#include <QtGlobal>

namespace zavok::trend {
namespace {

class PluginTrends final : public Trends {
public:
    PluginTrends(Zavok& core, history::HistoryStore& history) : windows_(core, history) {}
    void show(int channel) override { windows_.show(channel); }

private:
    TrendWindows windows_;
};

} // namespace
} // namespace zavok::trend

extern "C" Q_DECL_EXPORT zavok::trend::Trends* zavok_make_trends(zavok::Zavok& core,
                                                                 zavok::history::HistoryStore& history) {
    return new zavok::trend::PluginTrends(core, history);
}
