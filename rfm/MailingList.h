#pragma once

#include "settings/OutputScreenState.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace plw::db {
class Database;
}

namespace plw {

// What the mailing list holds: the scored customers of the chosen groups who agreed to be
// written to in the chosen way, in a CSV file that label and mail-merge software reads.
struct MailingRequest {
    QString Path;
    std::array<bool, 6> Groups{}; // A to E, X
    MailingConsent Consent = MailingConsent::DirectMail;
};

// What writing it found.
struct MailingResult {
    std::array<qint64, 6> Listed{}; // customers written, per group
    qint64 WithoutConsent = 0;      // customers of the chosen groups who did not agree
    qint64 WithoutAddress = 0;      // who agreed, but have no address (or e-mail address)
    qint64 Guarded = 0;             // text fields given an apostrophe against formulas
    qint64 Replaced = 0;            // characters CP932 cannot hold, written as "〓"
};

// The customer master's fields that decide whether a customer can be written to.
struct MailingContact {
    QString DirectMailConsent; // M1DmmOsr
    QString Address1;          // M1KhADD1
    QString MailConsent;       // M1EmaOsr
    QString MailAddress;       // M1EmaAdr
};

// Whether a customer of a chosen group goes into the list. The consent of the kind ("1"
// agreed; any other value, blanks aside, not) comes first, then its address: the address line 1
// for direct mail, the e-mail address for mail, which must not be empty.
enum class MailingFit { Listed, WithoutConsent, WithoutAddress };
MailingFit MailingFitOf(MailingConsent consent, const MailingContact& contact);

// A text field as a spreadsheet program must not take for a formula: one beginning with "=",
// "+", "-", "@", a tab or a carriage return gets a leading apostrophe (*guarded set).
QString GuardedText(const QString& text, bool* guarded);

// The postcode "1234567" as "123-4567"; any other text as it is.
QString PostcodeText(const QString& postcode);

// Writes the list of workTable's customers as the request asks: CP932, CR LF line ends, a
// heading row, then one row per customer in group and customer-number order with the customer
// number, name, kana, postcode, address lines, telephone, e-mail address (mail only), group,
// RFM value, last visit and amount. Text fields are quoted, numbers plain. The file is made
// readable by its owner only and written beside the target under a temporary name, renamed over
// it when complete: on failure nothing is left under its name. False with the cause.
bool WriteMailingList(db::Database& database, const QString& workTable,
                      const MailingRequest& request, MailingResult* result, QString* error);

} // namespace plw
