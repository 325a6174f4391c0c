#pragma once
// Message boxes of the Qt side. With QV_NONINTERACTIVE=1 in the environment (tests, scripted
// runs under the offscreen platform) nothing is shown: the text goes to stderr and the box
// answers with its default button at once, so a start-up never waits for a click.
#include <QMessageBox>
#include <string_view>

namespace qv {

bool nonInteractive();

// `text` with break opportunities inside runs too long to fit a line.
QString WrappableText(const QString& text);

// Shows `gbk` (the program's own GBK text) in a box with `buttons`; returns the button
// pressed (`defaultButton` when non-interactive).
QMessageBox::StandardButton showMessageBox(QWidget* parent, std::string_view gbk, QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                           QMessageBox::StandardButton defaultButton = QMessageBox::Ok);

} // namespace qv
