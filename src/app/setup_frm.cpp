// The settings dialog: pages, dependent controls, colour roles and the three buttons.
#include "app/setup_frm.h"

#include "app/language_walk.h"
#include "app/radio_group.h"
#include "app/settings_store.h"
#include "core/format.h"
#include "entry_dialogs/entry_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace vorn::app {

namespace {

const core::Settings kDefaults;

QLabel* label(const QString& text, const char* name, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QCheckBox* checkBox(const QString& text, const char* name, bool on, QWidget* parent) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setChecked(on);
    return c;
}

QLineEdit* lineEdit(const std::string& text, const char* name, QWidget* parent) {
    auto* e = new QLineEdit(QString::fromStdString(text), parent);
    e->setObjectName(name);
    return e;
}

// A spin edit changed only by its arrows.
QSpinBox* arrowSpin(const char* name, int lo, int hi, int step, int value, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(lo, hi);
    s->setSingleStep(step);
    s->setValue(value);
    if (auto* e = s->findChild<QLineEdit*>()) e->setReadOnly(true);
    return s;
}

QGroupBox* group(const QString& title, const char* name, QWidget* parent) {
    auto* g = new QGroupBox(title, parent);
    g->setObjectName(name);
    return g;
}

} // namespace

QString QualityPercent(int position) {
    return QString::number(static_cast<int>(std::lround(position / 99.0 * 100))) + QLatin1Char('%');
}

TSetupFrm::TSetupFrm(std::function<core::Settings()> current, QWidget* parent)
    : QDialog(parent), m_current(std::move(current)), m_colors(kDefaults.colors) {
    setObjectName("SetupFrm");
    setWindowTitle(QStringLiteral("Налагодження"));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName("PageControl1");
    m_pages->addTab(buildPicturePage(), QStringLiteral("Зображення"));
    m_pages->addTab(buildComputePage(), QStringLiteral("Обчислення"));
    m_pages->addTab(buildGeneralPage(), QStringLiteral("Загальні"));
    m_pages->addTab(buildColorsPage(), QStringLiteral("Кольори"));

    auto* ok = new QPushButton(QStringLiteral("Запам'ятати"), this);
    ok->setObjectName("OkBtn");
    ok->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("Скасувати"), this);
    cancelButton->setObjectName("CancelBtn");
    auto* apply = new QPushButton(QStringLiteral("Застосувати"), this);
    apply->setObjectName("ApplyBtn");
    connect(ok, &QPushButton::clicked, this, [this] { applyClicked(true); });
    connect(apply, &QPushButton::clicked, this, [this] { applyClicked(false); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, &TSetupFrm::cancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancelButton);
    buttons->addWidget(apply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);

    updateDependents();
    m_colorBox->setCurrentRow(0);
    roleSelected(0);
    entry::FocusFirstFieldOnShow(this);
}

QWidget* TSetupFrm::buildPicturePage() {
    auto* page = new QWidget;
    page->setObjectName("TabSheet1");

    auto* zoom = group(QStringLiteral("Маcштаб зображення: "), "ZoomGroup", page);
    auto* autoZoom = checkBox(QStringLiteral("&Пропорційно"), "AutoZoom", kDefaults.AutoZoom, zoom);
    auto* zg = new QGridLayout(zoom);
    zg->addWidget(autoZoom, 0, 0, 1, 2);
    const char* zoomLabels[] = {"ZoomXLabel", "ZoomYLabel", "ZoomZLabel"};
    const char* zoomEdits[] = {"ZoomXE", "ZoomYE", "ZoomZE"};
    const char* axes[] = {"Вздовж OX:", "Вздовж OY:", "Вздовж OZ:"};
    for (int i = 0; i < 3; ++i) {
        zg->addWidget(label(QString::fromUtf8(axes[i]), zoomLabels[i], zoom), i + 1, 0);
        zg->addWidget(lineEdit(kDefaults.zoomText[static_cast<std::size_t>(i)], zoomEdits[i], zoom),
                      i + 1, 1);
    }

    auto* center = group(QStringLiteral("Центр повороту: "), "CenterGroup", page);
    auto* inCenter =
        checkBox(QStringLiteral("Початок &координат"), "InCenter", kDefaults.InCenter, center);
    auto* cg = new QGridLayout(center);
    cg->addWidget(inCenter, 0, 0, 1, 2);
    const char* centerLabels[] = {"CenterXLabel", "CenterYLabel", "CenterZLabel"};
    const char* centerEdits[] = {"CenterXE", "CenterYE", "CenterZE"};
    const char* letters[] = {"X=", "Y=", "Z="};
    for (int i = 0; i < 3; ++i) {
        cg->addWidget(label(QString::fromLatin1(letters[i]), centerLabels[i], center), i + 1, 0);
        cg->addWidget(
            lineEdit(kDefaults.centerText[static_cast<std::size_t>(i)], centerEdits[i], center),
            i + 1, 1);
    }

    auto* lights = group(QStringLiteral("Координати джерел світла (для півтонового режиму):"),
                         "LightGroup", page);
    auto* lg = new QGridLayout(lights);
    lg->addWidget(label(QStringLiteral("Перше:"), "Light1Label", lights), 0, 0);
    lg->addWidget(label(QStringLiteral("Друге:"), "Light2Label", lights), 1, 0);
    const char* coords[] = {"x=", "y=", "z="};
    for (int i = 0; i < 6; ++i) {
        const int row = i / 3, col = 1 + (i % 3) * 2;
        const QByteArray labelName = "LightLabel" + QByteArray::number(i + 1);
        const QByteArray editName = "Edit" + QByteArray::number(i + 1);
        lg->addWidget(label(QString::fromLatin1(coords[i % 3]), labelName.constData(), lights), row,
                      col);
        lg->addWidget(lineEdit(kDefaults.lightText[static_cast<std::size_t>(i)],
                               editName.constData(), lights),
                      row, col + 1);
    }

    connect(autoZoom, &QCheckBox::clicked, this, &TSetupFrm::updateDependents);
    connect(inCenter, &QCheckBox::clicked, this, &TSetupFrm::updateDependents);

    // Line width, label font and pick precision for projectors and large rooms, in one row
    // under the lights.
    auto* sizes = new QHBoxLayout;
    sizes->addWidget(label(QStringLiteral("Товщина ліній"), "LineWidthLabel", page));
    sizes->addWidget(arrowSpin("LineWidth", core::kMinLineWidth, core::kMaxLineWidth, 1,
                               kDefaults.lineWidth, page));
    sizes->addSpacing(24);
    sizes->addWidget(label(QStringLiteral("Розмір шрифту позначок"), "LabelFontSizeLabel", page));
    sizes->addWidget(arrowSpin("LabelFontSize", core::kMinLabelFontSize, core::kMaxLabelFontSize, 1,
                               kDefaults.labelFontSize, page));
    // How near the pointer must come to pick an element, for projectors and touch screens.
    sizes->addSpacing(24);
    sizes->addWidget(label(QStringLiteral("Точність вибору"), "PickRadiusLabel", page));
    sizes->addWidget(arrowSpin("PickRadius", core::kMinPickRadius, core::kMaxPickRadius, 1,
                               kDefaults.pickRadius, page));
    sizes->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(zoom);
    top->addWidget(center);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(lights);
    layout->addLayout(sizes);
    layout->addStretch(1);
    return page;
}

QWidget* TSetupFrm::buildComputePage() {
    auto* page = new QWidget;
    page->setObjectName("TabSheet2");
    auto* layout = new QGridLayout(page);
    layout->addWidget(label(QStringLiteral("Кількість цифр у відповідях:"), "DigitsLabel", page), 0,
                      0);
    layout->addWidget(arrowSpin("CharAfterP", 0, 16, 1, kDefaults.answerDigits, page), 0, 1);
    layout->addWidget(
        label(QStringLiteral("Кількість точок поділу області інтегрування"), "PointsLabel", page),
        1, 0);
    layout->addWidget(arrowSpin("ColXStep", 50, 1000, 25, kDefaults.integrationPoints, page), 1, 1);
    layout->addWidget(
        label(QStringLiteral("Якість зображення створюваних поверхонь:"), "QualityTitle", page), 2,
        0, 1, 2);
    m_quality = new QScrollBar(Qt::Horizontal, page);
    m_quality->setObjectName("QualityPos");
    m_quality->setRange(0, 99);
    m_quality->setPageStep(20);
    m_quality->setValue(kDefaults.qualityPosition);
    // The label starts as the designed "50%" and follows every change of the position.
    m_qualityLabel = label(QStringLiteral("50%"), "QualityLabel", page);
    ExcludeFromLanguage(m_qualityLabel);
    connect(m_quality, &QScrollBar::valueChanged, this,
            [this](int v) { m_qualityLabel->setText(QualityPercent(v)); });
    layout->addWidget(m_quality, 3, 0);
    layout->addWidget(m_qualityLabel, 3, 1);
    m_ugolType = new RadioGroup(QStringLiteral("При обчисленні кути подаються в: "),
                                {QStringLiteral("радіанах;"), QStringLiteral("градусах;")},
                                kDefaults.anglesInRadians ? 0 : 1, page);
    m_ugolType->setObjectName("UgolType");
    m_ugolType->hide();
    layout->addWidget(m_ugolType, 4, 0, 1, 2);
    layout->setRowStretch(5, 1);
    layout->setColumnStretch(0, 1);
    return page;
}

QWidget* TSetupFrm::buildGeneralPage() {
    auto* page = new QWidget;
    page->setObjectName("TabSheet3");
    auto* layout = new QVBoxLayout(page);
    auto* langRow = new QHBoxLayout;
    langRow->addWidget(label(QStringLiteral("Мова інтерфейсу:"), "LangLabel", page));
    m_langs = new QComboBox(page);
    m_langs->setObjectName("__Langs");
    m_langs->setMinimumContentsLength(16);
    langRow->addWidget(m_langs, 1);
    layout->addLayout(langRow);

    struct Box {
        const char* name;
        const char* caption;
        bool on;
    };
    const Box boxes[] = {
        {"DrawContur", "Вилучати &зайві лінії граней опуклих многогранників", kDefaults.DrawContur},
        {"DrawFName", "Виводити &шлях до робочого файлу в головному вікні", kDefaults.DrawFName},
        {"IsUsel", "Зображати &вершини (вузли) об'єктів", kDefaults.IsUsel},
        {"isProject", "Зображати п&роекції точки на координатні площини ", kDefaults.isProject},
        {"PutVerNum", "Зображати &номери вершин об'єктів", kDefaults.PutVerNum},
        {"PutLetters", "Зображати &літери, якщо менше 27 вершин", kDefaults.PutLetters},
        {"PutNumObj", "Зображати номер &об'єкта біля номера вершини", kDefaults.PutNumObj},
        {"IsOsi", "Зображати координатні о&сі", kDefaults.IsOsi},
        {"IsReadLast", "&Автоматично завантажувати останній робочий файл", kDefaults.IsReadLast},
    };
    for (const Box& b : boxes) {
        QCheckBox* c = checkBox(QString::fromUtf8(b.caption), b.name, b.on, page);
        layout->addWidget(c);
        // The vertex-number options share one handler, as the projection option does.
        if (qstrcmp(b.name, "PutVerNum") == 0 || qstrcmp(b.name, "isProject") == 0)
            connect(c, &QCheckBox::clicked, this, &TSetupFrm::updateDependents);
    }
    layout->addStretch(1);
    return page;
}

QWidget* TSetupFrm::buildColorsPage() {
    auto* page = new QWidget;
    page->setObjectName("TabSheet4");
    m_colorBox = new QListWidget(page);
    m_colorBox->setObjectName("ColorBox");
    for (const char* role : core::kColorRoleNames)
        m_colorBox->addItem(QString::fromUtf8(role));
    m_envColor = new entry::ColorGrid(QStringLiteral("EnvColor"), 4, 32, page);
    m_envColor->setFocusPolicy(Qt::StrongFocus);
    m_envColor->setMinimumSize(4 * 16, 4 * 16);
    auto* defaults = new QPushButton(QStringLiteral("Відновити стандартні установки"), page);
    defaults->setObjectName("DefaultColors");

    connect(m_colorBox, &QListWidget::currentRowChanged, this, &TSetupFrm::roleSelected);
    connect(m_envColor, &entry::ColorGrid::chosen, this, [this](int index) {
        const int role = m_colorBox->currentRow();
        if (role >= 0 && role < core::kColorRoleCount)
            m_colors[static_cast<std::size_t>(role)] = index;
    });
    connect(defaults, &QPushButton::clicked, this, &TSetupFrm::restoreDefaultColors);

    auto* layout = new QGridLayout(page);
    layout->addWidget(label(QStringLiteral("Елементи інтерфейсу:"), "RolesLabel", page), 0, 0);
    layout->addWidget(label(QStringLiteral("Колір:"), "ColorLabel", page), 0, 1);
    layout->addWidget(m_colorBox, 1, 0);
    layout->addWidget(m_envColor, 1, 1);
    layout->addWidget(defaults, 2, 0, 1, 2, Qt::AlignLeft);
    layout->setColumnStretch(0, 1);
    return page;
}

QCheckBox* TSetupFrm::check(const char* name) const {
    return findChild<QCheckBox*>(QLatin1String(name));
}

QLineEdit* TSetupFrm::edit(const char* name) const {
    return findChild<QLineEdit*>(QLatin1String(name));
}

QSpinBox* TSetupFrm::spin(const char* name) const {
    return findChild<QSpinBox*>(QLatin1String(name));
}

void TSetupFrm::updateDependents() {
    const bool zoomTyped = !check("AutoZoom")->isChecked();
    for (const char* n : {"ZoomXLabel", "ZoomYLabel", "ZoomZLabel", "ZoomXE", "ZoomYE", "ZoomZE"})
        findChild<QWidget*>(QLatin1String(n))->setEnabled(zoomTyped);
    const bool centerTyped = !check("InCenter")->isChecked();
    for (const char* n :
         {"CenterXLabel", "CenterYLabel", "CenterZLabel", "CenterXE", "CenterYE", "CenterZE"})
        findChild<QWidget*>(QLatin1String(n))->setEnabled(centerTyped);
    const bool numbers = check("PutVerNum")->isChecked();
    check("PutLetters")->setEnabled(numbers);
    check("PutNumObj")->setEnabled(numbers);
}

void TSetupFrm::setColors(const Colors& colors) {
    m_colors = colors;
    roleSelected(m_colorBox->currentRow());
}

QString TSetupFrm::roleCaption(int role) const {
    const QListWidgetItem* item = m_colorBox->item(role);
    return item ? item->text() : QString();
}

void TSetupFrm::roleSelected(int role) {
    if (role >= 0 && role < core::kColorRoleCount)
        m_envColor->setIndex(m_colors[static_cast<std::size_t>(role)]);
}

void TSetupFrm::restoreDefaultColors() {
    setColors(kDefaults.colors);
}

void TSetupFrm::showEvent(QShowEvent* event) {
    // The light edits show the positions in use, in full precision.
    const core::Settings shown = m_current ? m_current() : core::Settings{};
    for (int i = 0; i < 6; ++i) {
        const QByteArray name = "Edit" + QByteArray::number(i + 1);
        edit(name.constData())
            ->setText(QString::fromStdString(
                core::FormatNumber(true, shown.lightPosition[static_cast<std::size_t>(i)])));
    }
    m_shownColors = m_colors;
    m_shownControls = lang::IniFile();
    WriteDialogControls(m_shownControls, this);
    QDialog::showEvent(event);
}

core::Settings TSetupFrm::edited(core::Settings s) const {
    auto on = [this](const char* name) { return check(name)->isChecked(); };
    s.answerDigits = spin("CharAfterP")->value();
    s.DrawContur = on("DrawContur");
    s.integrationPoints = spin("ColXStep")->value();
    s.qualityPosition = m_quality->value();
    s.DrawFName = on("DrawFName");
    s.PutNumObj = on("PutNumObj");
    s.IsUsel = on("IsUsel");
    s.PutVerNum = on("PutVerNum");
    s.PutLetters = on("PutLetters");
    s.isProject = on("isProject");
    s.AutoZoom = on("AutoZoom");
    s.IsOsi = on("IsOsi");
    s.anglesInRadians = m_ugolType->itemIndex() == 0;
    s.InCenter = on("InCenter");
    s.IsReadLast = on("IsReadLast");
    s.lineWidth = spin("LineWidth")->value();
    s.labelFontSize = spin("LabelFontSize")->value();
    s.pickRadius = spin("PickRadius")->value();
    s.colors = m_colors;
    const char* zoomNames[] = {"ZoomXE", "ZoomYE", "ZoomZE"};
    const char* centerNames[] = {"CenterXE", "CenterYE", "CenterZE"};
    for (std::size_t i = 0; i < 3; ++i) {
        s.zoomText[i] = edit(zoomNames[i])->text().toStdString();
        s.centerText[i] = edit(centerNames[i])->text().toStdString();
    }
    for (std::size_t i = 0; i < 6; ++i)
        s.lightText[i] = edit(("Edit" + std::to_string(i + 1)).c_str())->text().toStdString();
    return s;
}

void TSetupFrm::cancel() {
    // Typed values that were not applied must not reach the settings file at exit either.
    setColors(m_shownColors);
    ReadDialogControls(m_shownControls, this);
    updateDependents();
}

void TSetupFrm::applyClicked(bool close) {
    const bool ok = !m_apply || m_apply();
    if (ok) {
        // What is applied is the new state to return to.
        m_shownColors = m_colors;
        m_shownControls = lang::IniFile();
        WriteDialogControls(m_shownControls, this);
    }
    if (ok && close) accept();
}

} // namespace vorn::app
