#pragma once

// The start wizard: builds a new card from its answers ("W") or opens a saved design ("L").

#include "wizards/CardSizePresets.h"
#include "imaging/ItemPicture.h"
#include "wizards/FrameGallery.h"

#include <QDialog>
#include <QImage>
#include <functional>

class MainPhoto;
class PhotoEditPanel;
class QButtonGroup;
class QComboBox;
class QDateEdit;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTimeEdit;

class Invitation_Wizard : public QDialog {
    Q_OBJECT
public:
    enum Page { StartPage, TextPage, PhotoPage, FramePage, CardPage, PageCount };

    static Invitation_Wizard* defaultInstance();
    explicit Invitation_Wizard(QWidget* parent = nullptr);

    // Opens a design file for the "L" answer, a template as an untitled design; true when the design was
    // loaded (the window shows any message itself). Set by the editor window.
    std::function<bool(const QString& path, bool asTemplate)> openDesign;
    // The profile button's action (the both-sides profile dialog); the button shows only while it is set.
    std::function<void()> openProfile;
    // Around a run of the template browser and the opening of its template: begins, then ends with whether
    // a template was opened (a profile given in the browser belongs to that opening).
    std::function<void()> templateActionBegins;
    std::function<void(bool opened)> templateActionEnds;

    // Runs the whole wizard modally from its first page; 1 when finished (see mode()).
    int Open_Wnd();
    // Runs only the photo page, filled from Invite_Frame_Pic_IMG, the photo and the IMG_* settings. On OK
    // stores the new path and settings and the new photo in photo, and returns 1.
    int Open_Wnd_For_Edit_Photo(MainPhoto& photo);

    QString mode() const { return m_mode; } // "W" or "L"
    CardChoice cardChoice() const;
    // The main photo as loaded, before adjustment (null when none was chosen).
    ItemPicture photoOriginal() const;

    // Steps of the wizard, also what its buttons call.
    void goToPage(int page);
    int currentPage() const;
    bool next(); // checks the current page and moves on; on the last page finishes
    void back();
    bool finishNewCard(); // writes the answers into the Invite_* and IMG_* globals and ends with 1
    bool openSavedDesign(const QString& path, bool asTemplate = false);

    // Controls, for the window and tests.
    QPushButton* profileButton() const { return m_profile; }
    QRadioButton* newCardButton() const { return m_newCard; }
    QRadioButton* openDesignButton() const { return m_openDesign; }
    QLineEdit* designPathEdit() const { return m_designPath; }
    QLineEdit* titleEdit() const { return m_title; }
    QLineEdit* toEdit() const { return m_to; }
    QPlainTextEdit* messageEdit() const { return m_message; }
    QCheckBox* dateCheck() const { return m_useDate; }
    QDateEdit* dateEdit() const { return m_date; }
    QCheckBox* timeCheck() const { return m_useTime; }
    QTimeEdit* timeEdit() const { return m_time; }
    QPlainTextEdit* venueEdit() const { return m_venue; }
    QLineEdit* fromEdit() const { return m_from; }
    PhotoEditPanel* photoPanel() const { return m_photo; }
    QListWidget* frameList() const { return m_frames; }
    QLabel* framePreview() const { return m_framePreview; }
    QComboBox* categoryCombo() const { return m_category; }
    QListWidget* sizeList() const { return m_sizes; }
    QDoubleSpinBox* customWidth() const { return m_customW; }
    QDoubleSpinBox* customHeight() const { return m_customH; }
    QRadioButton* portraitButton() const { return m_portrait; }
    QRadioButton* landscapeButton() const { return m_landscape; }
    QLabel* toHint() const { return m_toHint; }
    QPushButton* cancelButton() const { return m_cancel; }

    // Cancel, Escape and the close box: when the user has typed or chosen something for a new card, asks
    // "Quit NAVU Photo Frame?" first; No keeps the wizard open.
    void reject() override;
    // True when any answer of a new card or a design path has been given.
    bool hasAnswers() const;
    QButtonGroup* shapeGroup() const { return m_shape; }

    static const QString DateFormat;
    static const QString TimeFormat;

private slots:
    void pickTitle();
    void pickMessage();
    void browseDesign();
    void chooseTemplate();
    void categoryChanged();
    void updateSizeLabel();
    void updateButtons();
    void customSizeEdited();
    void orientationChanged();

private:
    QWidget* makeStartPage();
    QWidget* makeTextPage();
    QWidget* makeFramePage();
    QWidget* makeCardPage();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resetAnswers();
    void fillFrames();
    QString selectedFramePath() const;

    QString m_mode;
    bool m_photoOnly = false;
    FrameGallery m_gallery;
    QStackedWidget* m_pages;
    QLabel* m_heading;
    QPushButton* m_back;
    QPushButton* m_next;
    QPushButton* m_cancel;
    QPushButton* m_profile;
    QRadioButton* m_newCard;
    QRadioButton* m_openDesign;
    QLineEdit* m_designPath;
    QLineEdit* m_title;
    QLineEdit* m_to;
    QLabel* m_toHint;
    QPlainTextEdit* m_message;
    QCheckBox* m_useDate;
    QDateEdit* m_date;
    QCheckBox* m_useTime;
    QTimeEdit* m_time;
    QPlainTextEdit* m_venue;
    QLineEdit* m_from;
    PhotoEditPanel* m_photo;
    QListWidget* m_frames;
    QLabel* m_framePreview;
    QComboBox* m_category;
    QListWidget* m_sizes;
    QDoubleSpinBox* m_customW;
    QDoubleSpinBox* m_customH;
    QRadioButton* m_landscape;
    QRadioButton* m_portrait;
    QButtonGroup* m_shape;
    QLabel* m_sizeLabel;
};
