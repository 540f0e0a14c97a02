#pragma once

#include "data/SeriesGenerator.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The series generator: sequential, constant or random values, into a new series file (file_name_required 1)
// or into the series manager's value list.
class Generate_List : public QDialog {
    Q_OBJECT
public:
    explicit Generate_List(QWidget* parent = nullptr);
    static Generate_List* defaultInstance();

    int Open_Wnd();

    void Sequintial_Radio_Pressed();
    void Constant_Radio_Pressed();
    void Random_Radio_Pressed();
    void Help_btn_Pressed();
    void OKPressed();
    void CancelPressed();

    // The input as the controls hold it.
    SeriesGenerator::Input input() const;
    // Tests give a fixed random source.
    void setRandomSource(SeriesGenerator::RandomSource source) { _random = std::move(source); }

    int file_name_required = 0;
    int file_name_Insert = 0;

    QRadioButton* radioButton_Sequntial;
    QRadioButton* radioButton_Constant;
    QRadioButton* radioButton_Random;
    QLineEdit* prefix_txt;
    QLineEdit* suffix_txt;
    QLineEdit* from_txt;
    QLineEdit* to_txt;
    QCheckBox* manage_digit_chk;
    QPushButton* help_btn;
    QLineEdit* seq_file_name;
    QLineEdit* value_txt;
    QLineEdit* count_txt;
    QSpinBox* count_stepper;
    QLineEdit* const_file_name;
    QLineEdit* rand_prefix_txt;
    QLineEdit* rand_suffix_txt;
    QLineEdit* rand_length_txt;
    QSpinBox* rand_length_stepper;
    QLineEdit* rand_count_txt;
    QSpinBox* rand_count_stepper;
    QLineEdit* rndm_file_name;

private:
    void selectMode(SeriesGenerator::Mode mode);
    void boundField(QLineEdit* field, QSpinBox* stepper, bool length);
    QLineEdit* fieldOf(SeriesGenerator::Field field) const;
    SeriesGenerator::RandomSource _random;
};
