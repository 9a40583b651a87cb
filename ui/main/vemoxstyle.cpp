#include "vemoxstyle.h"

#include <QPainter>
#include <QStyleFactory>

namespace vodavav {

namespace {

constexpr int kIndicatorSize = 13;
constexpr int kLabelSpacing = 4;
constexpr int kCaptionLeft = 8;

} // namespace

VemoxStyle::VemoxStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

int VemoxStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                            const QWidget* widget) const {
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
        return kIndicatorSize;
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
        return kLabelSpacing;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

void VemoxStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const {
    if (const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        control == CC_GroupBox && box != nullptr && !(box->subControls & SC_GroupBoxCheckBox)) {
        drawGroupBox(*box, painter);
        return;
    }
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control == CC_Slider && slider != nullptr && (slider->subControls & SC_SliderTickmarks) &&
        slider->tickPosition != QSlider::NoTicks && slider->orientation == Qt::Horizontal) {
        QStyleOptionSlider rest = *slider;
        rest.subControls &= ~SC_SliderTickmarks;
        QProxyStyle::drawComplexControl(control, &rest, painter, widget);
        drawSliderTicks(*slider, painter, widget);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

// The frame's top line runs through the middle of the caption's line; the caption sits on the
// window colour, breaking the line.
void VemoxStyle::drawGroupBox(const QStyleOptionGroupBox& box, QPainter* painter) const {
    const QRect r = box.rect;
    const int lineHeight = box.fontMetrics.height();
    const int top = r.top() + lineHeight / 2 - 1;
    painter->save();
    painter->setPen(box.palette.color(QPalette::Light));
    painter->drawRect(r.left() + 1, top + 1, r.width() - 2, r.bottom() - top - 1);
    painter->setPen(box.palette.color(QPalette::Dark));
    painter->drawRect(r.left(), top, r.width() - 2, r.bottom() - top - 1);
    if (!box.text.isEmpty()) {
        const QRect caption(r.left() + kCaptionLeft, r.top(),
                            box.fontMetrics.horizontalAdvance(box.text), lineHeight);
        painter->fillRect(caption, box.palette.color(QPalette::Window));
        drawItemText(painter, caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextHideMnemonic,
                     box.palette, box.state & State_Enabled, box.text, QPalette::WindowText);
    }
    painter->restore();
}

// One tick at every interval across the handle's travel, as Fusion places them.
void VemoxStyle::drawSliderTicks(const QStyleOptionSlider& slider, QPainter* painter,
                                 const QWidget* widget) const {
    const int handleLength = proxy()->pixelMetric(PM_SliderLength, &slider, widget);
    const int tickLength = proxy()->pixelMetric(PM_SliderTickmarkOffset, &slider, widget);
    const int interval = slider.tickInterval > 0 ? slider.tickInterval : qMax(1, slider.singleStep);
    const QRect r = slider.rect;
    painter->save();
    painter->setPen(slider.palette.color(QPalette::WindowText));
    for (int v = slider.minimum; v <= slider.maximum; v += interval) {
        const int x = sliderPositionFromValue(slider.minimum, slider.maximum, v,
                                              r.width() - handleLength, slider.upsideDown) +
                      handleLength / 2 + r.left();
        if (slider.tickPosition & QSlider::TicksAbove) {
            painter->drawLine(x, r.top(), x, r.top() + tickLength - 1);
        }
        if (slider.tickPosition & QSlider::TicksBelow) {
            painter->drawLine(x, r.bottom() - tickLength + 1, x, r.bottom());
        }
    }
    painter->restore();
}

} // namespace vodavav
