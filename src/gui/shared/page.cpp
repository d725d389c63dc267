#include "gui/shared/page.h"

#include "core/app/texts.h"
#include "core/model/session.h"
#include "core/model/value_format.h"

namespace parvion::gui {

bool PageContext::online() const {
    return session.Online;
}

int PageContext::medium() const {
    return session.Medium;
}

std::string PageContext::text(std::uint16_t number) const {
    return texts.LoadText(number);
}

bool PageContext::textBlock(std::uint16_t first, std::uint8_t width,
                            views::TextBlock& block) const {
    block.fill({});
    return texts.LoadTextBlock(first, width, block);
}

views::BlockLoader PageContext::blocks() const {
    return [this](std::uint16_t first, std::uint8_t width, views::TextBlock& block) {
        return textBlock(first, width, block);
    };
}

views::TextLoader PageContext::textLoader() const {
    return [this](std::uint16_t number) { return text(number); };
}

views::ValueFormatter PageContext::values() const {
    return [this](std::uint8_t quantity, bool withUnit, bool trimRight, float value) {
        return FormatValue(image, session.Medium, quantity, withUnit, trimRight, value);
    };
}

Page::Page(PageContext& context, const QString& objectName, QWidget* parent)
    : QWidget(parent), ctx_(context) {
    setObjectName(objectName);
}

}  // namespace parvion::gui
