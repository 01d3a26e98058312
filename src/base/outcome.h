#pragma once

#include <string>
#include <utility>

namespace pelmora {

// What a core operation did, said once for the editor and the command line alike.
//
// kind tells what happened: Done (nothing to report), DoneWithWarning (the work was done but
// something has to be said: a file skipped, a blank page made instead), Refused (the input is
// unusable: a page or texture that does not exist, a file of the wrong type; nothing was
// changed), Failed (reading, writing or memory failed). subject is the file or item the
// message is about (usually a path), so that a one-line report can name it; message is the
// exact text the editor shows in its box. changed says whether the project (or a file) was
// changed, whatever the kind: an Open that failed has still emptied the project, a bulk
// export that failed half way has still written files.
struct Outcome {
    enum class Kind { Done, DoneWithWarning, Refused, Failed };

    Kind kind = Kind::Done;
    std::string subject;
    std::string message;
    bool changed = false;
    // The message is the editor's short headline ("Failed To Load Image...", "This is not a
    // ... Wad file..."): a one-line report names the subject after it, not in front of it.
    bool subjectFollows = false;

    static Outcome Done(bool changed = true) { return {Kind::Done, {}, {}, changed}; }
    static Outcome Warning(std::string subject, std::string message, bool changed = true) {
        return {Kind::DoneWithWarning, std::move(subject), std::move(message), changed};
    }
    static Outcome Refused(std::string subject, std::string message, bool changed = false) {
        return {Kind::Refused, std::move(subject), std::move(message), changed};
    }
    static Outcome Failed(std::string subject, std::string message, bool changed = false) {
        return {Kind::Failed, std::move(subject), std::move(message), changed};
    }

    // Done with nothing to report.
    bool IsDone() const { return kind == Kind::Done; }
    // The subject goes after the headline in a one-line report.
    Outcome&& SubjectAfterHeadline() && {
        subjectFollows = true;
        return std::move(*this);
    }

    // Whether the message already says what it is about, so that a report needs no subject in
    // front: there is none, it follows the headline, or the message names it. Paths in the
    // core's messages are quoted, or given as the user typed them (the image readers' "x.png
    // is not a BMP, ... file").
    bool MessageNamesSubject() const;
    // The message with the subject placed after the headline when it goes there and the
    // reason below does not name it already; with a reason that does, headline and reason
    // on one line. Other messages unchanged.
    std::string MessageWithSubject() const;
};

}  // namespace pelmora
