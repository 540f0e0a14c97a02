#pragma once

// The maker's addresses and the operations that open them: mail links in the default mail program, web
// pages in the default browser. The addresses are read from "MakerLinks.txt" of the shipped resources;
// an address that is empty (or not a mail address or http(s) page) leaves its link out, and the windows
// hide such links. Opening goes through openUrl (common/FileHelpers.h), whose opener tests replace; a
// failure to open is written to the log.

#include <QHash>
#include <QString>
#include <QUrl>

namespace MakerLinks {
enum class Link {
    SupportMail,
    PartnerMail, // with a prepared subject and body asking about partnership
    Website1,
    Website2,
    Website3,
    FacebookShare, // share pages of social services, carrying the maker's web site
    TwitterShare,
    FacebookLike,
    CommentsPage,
    ReviewPage,
};

// The address of a link; an empty QUrl when the maker has not set it.
QUrl url(Link link);
inline bool available(Link link) {
    return !url(link).isEmpty();
}
// Opens the link; false (and nothing opened) when it is not available or could not be opened.
bool open(Link link);

// The file the addresses are read from (tests point it elsewhere); empty: the shipped "MakerLinks.txt".
// The file is read again on the next look-up.
void setAddressFile(const QString& path);

// The addresses of a links file's text, by name; lines are "name = value", "#" starts a comment line.
QHash<QString, QString> parseAddresses(const QString& text);
} // namespace MakerLinks

bool Open_Support_Mail();
bool Open_Reseller_Mail();
bool Open_Website_1();
bool Open_Website_2();
bool Open_Website_3();
bool Open_FaceBook();
bool Open_Twitter();
bool Open_FB_Like();
bool Open_Share_It_Dl();
bool Open_Review_Page();
