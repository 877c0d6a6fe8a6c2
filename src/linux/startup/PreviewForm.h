// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

namespace lumi::startup {

// The small form that the preview embeds in the host's window: one still picture of the
// laser painting, drawn from the top-left corner at its own size, on the button-face colour.
// It takes no input.
class PreviewForm final : public QWidget {
    Q_OBJECT

public:
    explicit PreviewForm(QImage still, QWidget* parent = nullptr);

    // The still that the program carries, or a null image when it carries none.
    static QImage builtInStill();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage still_;
};

}  // namespace lumi::startup
