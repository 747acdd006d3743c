#include "CNumericSpin.h"

#include "OtdrIds.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

CNumericSpin::CNumericSpin(QWidget* parent) : QWidget(parent)
{
    m_edit = new QLineEdit(this);
    m_arrows = new QWidget(this);
    m_up = new QToolButton(m_arrows);
    m_down = new QToolButton(m_arrows);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
        b->setFixedWidth(16);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);

    auto* arrowsLayout = new QVBoxLayout(m_arrows);
    arrowsLayout->setContentsMargins(0, 0, 0, 0);
    arrowsLayout->setSpacing(0);
    arrowsLayout->addWidget(m_up, 1);
    arrowsLayout->addWidget(m_down, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_arrows);
    setFocusProxy(m_edit);

    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    connect(m_edit, &QLineEdit::textEdited, this, &CNumericSpin::valueEdited);
    m_edit->installEventFilter(this);
}

void CNumericSpin::setup(double minimum, double maximum, double step, int decimals)
{
    setRange(minimum, maximum);
    setStep(step);
    setDecimals(decimals);
}

void CNumericSpin::setRange(double minimum, double maximum)
{
    m_min = std::min(minimum, maximum);
    m_max = std::max(minimum, maximum);
}

void CNumericSpin::setDecimals(int decimals)
{
    m_decimals = std::clamp(decimals, 0, 9);
}

void CNumericSpin::setValue(double value)
{
    m_edit->setText(formatValue(value, m_decimals));
}

double CNumericSpin::value() const
{
    return parseValue(m_edit->text());
}

QString CNumericSpin::text() const
{
    return m_edit->text();
}

void CNumericSpin::setText(const QString& text)
{
    m_edit->setText(text);
}

void CNumericSpin::setIds(int editId, int arrowsId)
{
    otdrTagObject(m_edit, editId);
    otdrTagObject(m_arrows, arrowsId);
}

void CNumericSpin::stepBy(int steps)
{
    if (!isEnabled())
        return;
    const double scale = std::pow(10.0, m_decimals);
    double v = value() + steps * m_step;
    // Round to the shown decimals so that repeated steps do not drift (0.01 is not exact).
    v = std::round(v * scale) / scale;
    v = std::clamp(v, m_min, m_max);
    setValue(v);
    Q_EMIT valueEdited();
}

bool CNumericSpin::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString CNumericSpin::formatValue(double value, int decimals)
{
    // QString::number is locale-independent ("%.<n>f" with "."); a negative value that rounds
    // to zero is shown without its sign.
    QString s = QString::number(value, 'f', std::clamp(decimals, 0, 9));
    if (s.startsWith(QLatin1Char('-')) && QString(s).remove(QLatin1Char('-')).remove(QLatin1Char('0')).remove(QLatin1Char('.')).isEmpty())
        s.remove(0, 1);
    return s;
}

double CNumericSpin::parseValue(const QString& text)
{
    const std::string s = text.trimmed().toStdString();
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    // Only plain decimal numbers count: "inf", "nan" and hexadecimal texts read as 0.
    const auto digit = [&](std::size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
    if (!digit(i) && !(i < s.size() && s[i] == '.' && digit(i + 1)))
        return 0.0;
    double v = 0.0;
    const auto res = std::from_chars(s.data() + i, s.data() + s.size(), v, std::chars_format::general);
    if (res.ec != std::errc{} || !std::isfinite(v))
        return 0.0;
    return negative ? -v : v;
}
