#pragma once

#include <QProxyStyle>
#include <QStyleOptionGroupBox>
#include <QStyleOptionSlider>

namespace vodavav {

// Fusion, with the looks of the window the launcher was drawn for: group boxes with an etched
// frame through the middle of their caption, check boxes and radio buttons with the classic
// small indicator, and slider ticks in the text colour (Fusion's own faint ticks vanish on the
// window's dark blue).
class VemoxStyle : public QProxyStyle {
public:
    VemoxStyle();

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

private:
    void drawGroupBox(const QStyleOptionGroupBox& box, QPainter* painter) const;
    void drawSliderTicks(const QStyleOptionSlider& slider, QPainter* painter,
                         const QWidget* widget) const;
};

} // namespace vodavav
