#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace plw::test {

// How the folder of a small file system is mounted.
enum class SmallFileSystemKind {
    Full,     // a few kilobytes, so that a larger file does not fit
    ReadOnly, // nothing can be created in it
};

// Runs work in a child process that sees folder (which must exist) as a file system of its own:
// a real full disk or a real read-only place, without touching the rest of the machine. Answers
// the text work returned; nothing when this system lets no process have a private mount (no
// mount or user namespaces), so that the test can say it was skipped.
std::optional<QString> InSmallFileSystem(const QString& folder, SmallFileSystemKind kind,
                                         const std::function<QString()>& work);

// Runs work in a child process without the rights of root, so that permissions bind it as they
// bind an operator: as the user "nobody" (uid and gid 65534) when this process is root, as this
// user otherwise. Answers the text work returned; nothing when root's rights cannot be given up.
std::optional<QString> AsUnprivilegedUser(const std::function<QString()>& work);

// The user and group AsUnprivilegedUser runs as when this process is root.
inline constexpr unsigned UnprivilegedId = 65534;

} // namespace plw::test
