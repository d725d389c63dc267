#include "core/edit/trend_recording.h"

#include <algorithm>

#include "core/edit/write_back.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"
#include "core/views/page_rules.h"

namespace parvion::edit {

namespace {

// A Time of 100 is a recording interval in seconds, which the combo has not.
constexpr std::uint8_t kSecondsInterval = 100;

void WriteBackTrend(Link& link, ParameterImage& image) {
    WriteBack(
        link, [&] { WriteTrend_User(link, image); }, [&] { ReadTrend_User(link, image); });
}

}  // namespace

IntervalShown IntervalChoiceOf(std::uint8_t time) {
    if (time == 0 || time == kSecondsInterval) return {IntervalShown::Kind::Clear, -1};
    const auto at = std::find(kTrendIntervals.begin(), kTrendIntervals.end(), time);
    if (at == kTrendIntervals.end()) return {IntervalShown::Kind::Keep, -1};
    return {IntervalShown::Kind::Select, static_cast<int>(at - kTrendIntervals.begin())};
}

int SetTrendSource(Link& link, ParameterImage& image, int choice) {
    if (choice < 0 || views::Circuit2Unavailable(image.System)) choice = 0;
    if (!ReadBeforeEdit(link, image, {{BlockKind::Trend_User}})) return image.Trend_User.Param;
    image.Trend_User.Param = static_cast<std::uint8_t>(choice);
    WriteBackTrend(link, image);
    return choice;
}

void SetTrendInterval(Link& link, ParameterImage& image, int choice) {
    const auto i = static_cast<std::size_t>(std::clamp(choice, 0, 11));
    if (!ReadBeforeEdit(link, image, {{BlockKind::Trend_User}})) return;
    image.Trend_User.Time = kTrendIntervals[i];
    WriteBackTrend(link, image);
}

void ReadTrendRecordingPage(Link& link, ParameterImage& image) {
    UiHooks& ui = link.ui();
    ui.progressStart(1);
    if (link.session().Online && ReadTrend_User(link, image)) ui.progressStep();
    ui.progressHide();
}

}  // namespace parvion::edit
