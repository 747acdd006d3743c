#pragma once

// A numeric field: an edit box with a pair of up and down arrows beside it.
//
// - The value is shown as fixed-point text with exactly decimals() decimals, trailing zeros kept,
//   always with "." as the decimal point.
// - The arrows (and the Up and Down keys in the edit box) add or subtract one step and stop at
//   the minimum and the maximum; they never wrap around.
// - value() reads whatever the edit box holds: the leading decimal number of the text, 0 when
//   the text does not start with a number. A typed value is never clamped to the range: the
//   range binds the arrows only.
//
// The edit box and the arrows are separate child widgets so that each can carry its own
// identifier (setIds) and both follow setEnabled of the control.

#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

class CNumericSpin : public QWidget {
    Q_OBJECT
public:
    explicit CNumericSpin(QWidget* parent = nullptr);

    // Range, step and decimals in one call (as a row of a settings table gives them).
    void setup(double minimum, double maximum, double step, int decimals);
    void setRange(double minimum, double maximum);
    void setStep(double step) { m_step = step; }
    void setDecimals(int decimals);

    double minimum() const { return m_min; }
    double maximum() const { return m_max; }
    double step() const { return m_step; }
    int decimals() const { return m_decimals; }

    // Shows value with the control's decimals (not clamped).
    void setValue(double value);
    // The edit box's text read as a number (see above).
    double value() const;
    QString text() const;
    void setText(const QString& text);

    // One step up or down, as the arrows do.
    void stepUp() { stepBy(1); }
    void stepDown() { stepBy(-1); }

    // Gives the edit box and the arrows their identifiers (see OtdrIds.h).
    void setIds(int editId, int arrowsId);

    QLineEdit* editBox() const { return m_edit; }
    QWidget* arrows() const { return m_arrows; }
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

    // Fixed-point text of value with decimals decimals and "." as the decimal point.
    static QString formatValue(double value, int decimals);
    // The leading decimal number of text ("." as decimal point, optional sign, blanks before it
    // ignored); 0 when the text does not start with a number.
    static double parseValue(const QString& text);

Q_SIGNALS:
    // The value changed through the arrows or by typing.
    void valueEdited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stepBy(int steps);

    QLineEdit* m_edit = nullptr;
    QWidget* m_arrows = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    double m_min = 0;
    double m_max = 100;
    double m_step = 1;
    int m_decimals = 0;
};
