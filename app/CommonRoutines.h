#pragma once

#include "app/Currency.h"

#include <QString>
#include <QStringList>

namespace plw {

class Clock;
struct Environment;

// Small stateless routines every part of the program relies on. Checks answer true when the
// value passes, or with a message text ("" when valid).

// --- Text -------------------------------------------------------------------------------------

// Length of the text in CP932 bytes (a full-width character takes two, a half-width one).
qsizetype AnsiByteLength(const QString& text);
// The text without leading and trailing blanks, ideographic blanks (U+3000) and NULs.
QString TrimAll(const QString& text);
// The text without leading and trailing half-width blanks only.
QString TrimBlanks(const QString& text);
// The text with its half-width characters in their full-width forms: printable ASCII as U+FF01
// to U+FF5E, the blank as the ideographic blank; other characters unchanged.
QString ToFullWidth(const QString& text);
// The text followed by blanks up to width CP932 bytes; never cut.
QString PadRightBytes(const QString& text, qsizetype width);
// The value in the format pattern ("##,##0", "0000", ...), blanks prepended up to the pattern's
// length in characters; a longer result is returned unchanged.
QString FormatRight(Currency value, const QString& format);
QString FormatRight(qint64 value, const QString& format);
// The value in the format pattern, without the padding. Patterns are made of digit placeholders
// "#" and "0", commas and an optional "." with a fraction part:
// - whole digits fill the placeholders from the right, the leftmost one takes any excess digits;
//   from the first "0" on every placeholder shows a digit, so "0000" gives leading zeros and a
//   pattern of "#" only gives "" for zero;
// - a comma between placeholders groups the digits by thousands ("1,234,567"); each comma after
//   the last whole placeholder divides the value by 1,000;
// - after ".", "0" always shows its digit and "#" only up to the last non-zero digit; the point
//   itself is always shown ("#.##" gives "5." for 5);
// - the value is rounded to the fraction placeholders, a half to the even digit;
// - a negative value gets a leading "-" unless it rounds to zero; any other character of the
//   pattern is copied where it stands. An empty pattern gives the plain number ("1234.5").
QString FormatNumber(Currency value, const QString& format);
QString FormatNumber(qint64 value, const QString& format);
// Sorts the first n entries of the parallel lists by key, largest first (by character codes).
void SortPairsDescending(QStringList& keys, QStringList& values, qsizetype n);
// Splits one comma-separated line into fields (every field first set to ""); returns the count.
// A quoted value may hold commas, and "" inside it stands for one quote; a line ending with ","
// has no empty last field. "&$" in the line also becomes a quote (it marks doubled quotes while
// splitting). fields keeps its size, the number of fields the caller has room for; fields past it
// are counted but not stored. openQuote, when given, tells whether the line ended inside quotes.
qsizetype SplitCsvLine(const QString& line, QStringList& fields, bool* openQuote = nullptr);

// --- Conversions that never fail: empty, non-numeric or out-of-range text gives 0 -------------

// Plain decimal notation only: blanks around, a sign, digits, a decimal point. A fraction becomes
// a whole number half to even ("2.5" -> 2, "3.5" -> 4); ToCurrency keeps four decimals, rounding
// any further ones half to even.
qint16 ToInteger(const QString& text);
qint32 ToLong(const QString& text);
Currency ToCurrency(const QString& text);

// --- Paths and files --------------------------------------------------------------------------

// folder := up to and including the last separator ("\" or "/"), file := the rest.
void SplitPath(const QString& path, QString& folder, QString& file);
void SplitPathExtension(const QString& path, QString& folder, QString& base, QString& extension);
// Whether the path names a file that opens for reading (a folder is no file). Every routine here
// goes through ToNativePath, so "\" separates folders and names match without regard to case.
bool CanOpenFile(const QString& path);
bool FileExists(const QString& path);
// False for a path with two colons, any of , * ? < > |, ":\\", a device name as file name (CON,
// PRN, AUX, CLOCK$, NUL, COM0-9, LPT0-9 in any case, whatever follows the first "."), or one that
// could be neither created nor read: its folder ("" is the current one) must exist and be
// writable, and a file already there must be readable. "/" separates folders and is allowed.
bool CheckFileName(const QString& path);
// The rules of CheckFileName on the name alone (characters, device names), without looking at
// the file system: whether a name as typed can be a file name at all.
bool FileNameRulesHold(const QString& path);
// The campaign condition files, composed as the system writes them ("DMFR\DM" + code + ".SYS").
QString DirectMailConditionPath(const Environment& environment, const QString& code);
QString MailConditionPath(const Environment& environment, const QString& code);
// The user's documents folder without a trailing separator; "" when it cannot be found. The
// program asks only for folder id 5.
QString DocumentsFolder(int folderId = 5);

// --- Dates ------------------------------------------------------------------------------------

QString DateToSlashText(const QString& date); // "YYYY/MM/DD", 10 blanks for no date
QString DateToKanjiText(const QString& date); // "YYYY年MM月DD日", 14 blanks for no date
QString TimeToColonText(const QString& time); // "HH:MM", 5 blanks for no time
// "YYYYMMDD" n calendar months before date. Only February is clamped (to the 28th, also in leap
// years); the 31st stays in a 30-day month ("20230531" gives "20230431"): callers use the result
// as a text bound.
QString MonthsBefore(const QString& date, int n);
// from := first day of the month n months after this month, to := today.
void PeriodFromMonths(int n, const Clock& clock, QString& from, QString& to);
// Completed years from the birth date ("YYYY/MM/DD" or "YYYYMMDD") to today; 0 for no date.
int AgeInYears(const QString& birth, const Clock& clock);
// The age used by the customer list and the age condition, at most 99. From the birth date when
// it is given: an unknown month "00" is February (a day of 29 to 31 then is the last day of that
// February), an unknown day "00" the 1st. A birth date that is still no real date counts as not
// given. Without one: the age group at the first visit plus the years since; else 0.
int EstimatedAge(const QString& birth, const QString& firstVisit, const QString& ageGroup,
                 const Clock& clock);

// --- Input checks -----------------------------------------------------------------------------

// "" when valid, else "範囲を指定してください" or "範囲の指定が間違っています。".
QString CheckRange(const QString& from, const QString& to);

} // namespace plw
