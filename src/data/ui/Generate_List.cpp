#include "data/ui/Generate_List.h"

#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/UiHelpers.h"
#include "data/SeriesFiles.h"
#include "data/SeriesImport.h"
#include "data/ui/BatchWizard.h"
#include "data/ui/SeriesDialogSupport.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

using SeriesGenerator::Field;
using SeriesGenerator::Mode;

namespace {
QLineEdit* field(const char* name, QWidget* parent) {
    auto* f = new QLineEdit(parent);
    f->setObjectName(QLatin1String(name));
    return f;
}

// Up and down arrows beside a text field: the field shows the number, so the stepper's own text is hidden.
class Stepper : public QSpinBox {
public:
    explicit Stepper(QWidget* parent) : QSpinBox(parent) { lineEdit()->hide(); }
};

QSpinBox* stepper(const char* name, int max, QWidget* parent) {
    auto* s = new Stepper(parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(1, max);
    s->setFixedWidth(s->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 6);
    return s;
}

QWidget* withStepper(QLineEdit* f, QSpinBox* s, QWidget* parent) {
    auto* w = new QWidget(parent);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);
    h->addWidget(f, 1);
    h->addWidget(s);
    return w;
}
} // namespace

Generate_List::Generate_List(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Generate_List"));
    setWindowTitle(tr("Create Batch Processing Series"));
    applyDialogBackground(this);

    radioButton_Sequntial = new QRadioButton(tr("Sequential"), this);
    radioButton_Constant = new QRadioButton(tr("Constant"), this);
    radioButton_Random = new QRadioButton(tr("Random"), this);

    auto* seqBox = new QGroupBox(this);
    prefix_txt = field("prefix_txt", seqBox);
    suffix_txt = field("suffix_txt", seqBox);
    from_txt = field("from_txt", seqBox);
    to_txt = field("to_txt", seqBox);
    manage_digit_chk = new QCheckBox(tr("Maintain number of digits"), seqBox);
    help_btn = new QPushButton(tr("?"), seqBox);
    help_btn->setFixedWidth(28);
    help_btn->setAutoDefault(false);
    seq_file_name = field("seq_file_name", seqBox);
    auto* seqForm = new QFormLayout(seqBox);
    seqForm->addRow(radioButton_Sequntial);
    seqForm->addRow(tr("Prefix:"), prefix_txt);
    seqForm->addRow(tr("From:"), from_txt);
    seqForm->addRow(tr("To:"), to_txt);
    seqForm->addRow(tr("Suffix:"), suffix_txt);
    auto* padRow = new QHBoxLayout;
    padRow->addWidget(manage_digit_chk);
    padRow->addWidget(help_btn);
    padRow->addStretch();
    seqForm->addRow(padRow);
    seqForm->addRow(tr("Series Name:"), seq_file_name);

    auto* constBox = new QGroupBox(this);
    value_txt = field("value_txt", constBox);
    count_txt = field("count_txt", constBox);
    count_stepper = stepper("count_stepper", 10000, constBox);
    const_file_name = field("const_file_name", constBox);
    auto* constForm = new QFormLayout(constBox);
    constForm->addRow(radioButton_Constant);
    constForm->addRow(tr("Value:"), value_txt);
    constForm->addRow(tr("Count:"), withStepper(count_txt, count_stepper, constBox));
    constForm->addRow(tr("Series Name:"), const_file_name);

    auto* randBox = new QGroupBox(this);
    rand_prefix_txt = field("rand_prefix_txt", randBox);
    rand_suffix_txt = field("rand_suffix_txt", randBox);
    rand_length_txt = field("rand_length_txt", randBox);
    rand_length_stepper = stepper("rand_length_stepper", 9, randBox);
    rand_count_txt = field("rand_count_txt", randBox);
    rand_count_stepper = stepper("rand_count_stepper", 10000, randBox);
    rndm_file_name = field("rndm_file_name", randBox);
    auto* randForm = new QFormLayout(randBox);
    randForm->addRow(radioButton_Random);
    randForm->addRow(tr("Prefix:"), rand_prefix_txt);
    randForm->addRow(tr("Digits:"), withStepper(rand_length_txt, rand_length_stepper, randBox));
    randForm->addRow(tr("Count:"), withStepper(rand_count_txt, rand_count_stepper, randBox));
    randForm->addRow(tr("Suffix:"), rand_suffix_txt);
    randForm->addRow(tr("Series Name:"), rndm_file_name);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Generate_List::OKPressed);
    connect(buttons, &QDialogButtonBox::rejected, this, &Generate_List::CancelPressed);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(seqBox);
    boxes->addWidget(constBox);
    boxes->addWidget(randBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(buttons);

    // Tab walks the fields in the order they are shown, each mode's box from top to bottom.
    const QList<QWidget*> tabOrder = {
        radioButton_Sequntial, prefix_txt,          from_txt,         to_txt,         suffix_txt,
        manage_digit_chk,      help_btn,            seq_file_name,    radioButton_Constant, value_txt,
        count_txt,             count_stepper,       const_file_name,  radioButton_Random,   rand_prefix_txt,
        rand_length_txt,       rand_length_stepper, rand_count_txt,   rand_count_stepper,   rand_suffix_txt,
        rndm_file_name,        buttons};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(radioButton_Sequntial, &QRadioButton::clicked, this, &Generate_List::Sequintial_Radio_Pressed);
    connect(radioButton_Constant, &QRadioButton::clicked, this, &Generate_List::Constant_Radio_Pressed);
    connect(radioButton_Random, &QRadioButton::clicked, this, &Generate_List::Random_Radio_Pressed);
    connect(help_btn, &QPushButton::clicked, this, &Generate_List::Help_btn_Pressed);
    connect(count_txt, &QLineEdit::textEdited, this, [this] { boundField(count_txt, count_stepper, false); });
    connect(rand_count_txt, &QLineEdit::textEdited, this,
            [this] { boundField(rand_count_txt, rand_count_stepper, false); });
    connect(rand_length_txt, &QLineEdit::textEdited, this,
            [this] { boundField(rand_length_txt, rand_length_stepper, true); });
    const auto stepperToField = [this](QSpinBox* s, QLineEdit* f) {
        connect(s, &QSpinBox::valueChanged, this, [f](int v) { f->setText(QString::number(v)); });
    };
    stepperToField(count_stepper, count_txt);
    stepperToField(rand_count_stepper, rand_count_txt);
    stepperToField(rand_length_stepper, rand_length_txt);
}

Generate_List* Generate_List::defaultInstance() {
    static Generate_List* dialog = new Generate_List(mainWindow());
    return dialog;
}

void Generate_List::boundField(QLineEdit* f, QSpinBox* s, bool length) {
    const QString bounded =
        length ? SeriesGenerator::boundedLengthText(f->text()) : SeriesGenerator::boundedCountText(f->text());
    if (bounded != f->text())
        f->setText(bounded);
    const QSignalBlocker block(s);
    s->setValue(SeriesGenerator::readInt32(bounded));
}

int Generate_List::Open_Wnd() {
    const bool fileMode = file_name_required == 1;
    for (QLineEdit* name : {seq_file_name, const_file_name, rndm_file_name}) {
        name->clear();
        name->setVisible(fileMode);
        if (auto* form = qobject_cast<QFormLayout*>(name->parentWidget()->layout())) {
            if (QWidget* label = form->labelForField(name))
                label->setVisible(fileMode);
        }
    }
    if (fileMode)
        seq_file_name->setText(QStringLiteral("Untitled"));
    manage_digit_chk->setChecked(false);
    for (QLineEdit* f :
         {prefix_txt, suffix_txt, from_txt, to_txt, value_txt, rand_prefix_txt, rand_suffix_txt})
        f->clear();
    for (QLineEdit* f : {count_txt, rand_length_txt, rand_count_txt})
        f->setText(QStringLiteral("1"));
    for (QSpinBox* s : {count_stepper, rand_length_stepper, rand_count_stepper}) {
        const QSignalBlocker block(s);
        s->setValue(1);
    }
    selectMode(Mode::Sequential);
    prefix_txt->setFocus();
    const int result = SeriesDialogs::runModal(this);
    hide();
    return result;
}

void Generate_List::selectMode(Mode mode) {
    radioButton_Sequntial->setChecked(mode == Mode::Sequential);
    radioButton_Constant->setChecked(mode == Mode::Constant);
    radioButton_Random->setChecked(mode == Mode::Random);
    QLineEdit* name = mode == Mode::Sequential ? seq_file_name
                      : mode == Mode::Constant ? const_file_name
                                               : rndm_file_name;
    if (Trim_Str(name->text()).isEmpty())
        name->setText(QStringLiteral("Untitled"));
    const bool seq = mode == Mode::Sequential, cons = mode == Mode::Constant, rnd = mode == Mode::Random;
    for (QWidget* w : std::initializer_list<QWidget*>{seq_file_name, prefix_txt, suffix_txt, from_txt, to_txt,
                                                      help_btn, manage_digit_chk})
        w->setEnabled(seq);
    for (QWidget* w : std::initializer_list<QWidget*>{const_file_name, value_txt, count_txt, count_stepper})
        w->setEnabled(cons);
    for (QWidget* w :
         std::initializer_list<QWidget*>{rndm_file_name, rand_prefix_txt, rand_suffix_txt, rand_length_txt,
                                         rand_length_stepper, rand_count_txt, rand_count_stepper})
        w->setEnabled(rnd);
}

void Generate_List::Sequintial_Radio_Pressed() {
    selectMode(Mode::Sequential);
}
void Generate_List::Constant_Radio_Pressed() {
    selectMode(Mode::Constant);
}
void Generate_List::Random_Radio_Pressed() {
    selectMode(Mode::Random);
}

void Generate_List::Help_btn_Pressed() {
    QMessageBox box(QMessageBox::Information, windowTitle(), SeriesGenerator::paddingHelpTitle(),
                    QMessageBox::Ok, this);
    box.setInformativeText(SeriesGenerator::paddingHelpText());
    SeriesDialogs::runModal(&box);
}

SeriesGenerator::Input Generate_List::input() const {
    SeriesGenerator::Input in;
    in.mode = radioButton_Constant->isChecked() ? Mode::Constant
              : radioButton_Random->isChecked() ? Mode::Random
                                                : Mode::Sequential;
    in.prefix = prefix_txt->text();
    in.suffix = suffix_txt->text();
    in.from = from_txt->text();
    in.to = to_txt->text();
    in.padDigits = manage_digit_chk->isChecked();
    in.value = value_txt->text();
    in.count = count_txt->text();
    in.randPrefix = rand_prefix_txt->text();
    in.randSuffix = rand_suffix_txt->text();
    in.randLength = rand_length_txt->text();
    in.randCount = rand_count_txt->text();
    return in;
}

QLineEdit* Generate_List::fieldOf(Field f) const {
    switch (f) {
    case Field::From:
        return from_txt;
    case Field::To:
        return to_txt;
    case Field::Value:
        return value_txt;
    case Field::Count:
        return count_txt;
    case Field::RandomCount:
        return rand_count_txt;
    case Field::RandomLength:
        return rand_length_txt;
    case Field::None:
        break;
    }
    return nullptr;
}

void Generate_List::OKPressed() {
    const SeriesGenerator::Input in = input();
    const SeriesGenerator::Problem problem = SeriesGenerator::check(in);
    if (!problem.message.isEmpty()) {
        Show_MessageBox(problem.message);
        if (QLineEdit* f = fieldOf(problem.focus))
            f->setFocus();
        return;
    }
    const SeriesGenerator::RandomSource source = _random;
    const QStringList values = SeriesDialogs::runWithWaitResult<QStringList>(
        this, [&] { return SeriesGenerator::generate(in, source); });
    if (file_name_required == 1) {
        QLineEdit* name = in.mode == Mode::Sequential ? seq_file_name
                          : in.mode == Mode::Constant ? const_file_name
                                                      : rndm_file_name;
        QString message, series;
        const SeriesImport::SaveResult target =
            SeriesImport::checkNewSeriesTarget(name->text(), &series, &message);
        if (target != SeriesImport::SaveResult::Saved) {
            if (!message.isEmpty())
                Show_MessageBox(message);
            if (target == SeriesImport::SaveResult::BadName)
                name->setFocus();
            return;
        }
        QString error;
        const bool written = SeriesDialogs::runWithWaitResult<bool>(
            this, [&] { return SeriesFiles::writeSeries(series, values, &error); });
        if (!written) {
            Show_NSLog_Message(error);
            Show_MessageBox(SeriesImport::accessErrorMessage(error));
            return;
        }
        SeriesDialogs::seriesChanged();
        const QString note = SeriesImport::seriesNameChangeNote(name->text(), series);
        if (!note.isEmpty())
            Show_MessageBox(note);
    } else if (BatchWizard_Window) {
        BatchWizard_Window->Create_Value_List(values);
    }
    if (file_name_Insert == 1 && BatchWizard_Window)
        BatchWizard_Window->Fill_List();
    done(1);
}

void Generate_List::CancelPressed() {
    done(0);
}
