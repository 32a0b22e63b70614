#include "po/po_file.h"

#include "fileio/file_writer.h"

#include <gettext-po.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <thread>
#include <unistd.h>

namespace wright::po {
namespace {

// libgettextpo reports through a handler of plain C functions; they collect
// the problems of one call here.
thread_local std::vector<std::string>* gProblems = nullptr;

std::string place(const char* file, size_t line) {
    if (!file) return {};
    std::string where = file;
    if (line != static_cast<size_t>(-1)) where += ":" + std::to_string(line);
    return where + ": ";
}

void collect(int severity, po_message_t, const char* file, size_t line, size_t, int, const char* text) {
    if (severity == PO_SEVERITY_WARNING || !gProblems) return;
    std::string problem = place(file, line) + (text ? text : "");
    while (!problem.empty() && problem.back() == '\n') problem.pop_back();
    gProblems->push_back(problem);
    // A fatal error must not return into the library.
    if (severity == PO_SEVERITY_FATAL_ERROR) throw PoError(problem);
}

void collect2(int severity, po_message_t m1, const char* f1, size_t l1, size_t c1, int ml1, const char* t1,
              po_message_t, const char*, size_t, size_t, int, const char* t2) {
    const std::string text = std::string(t1 ? t1 : "") + " " + (t2 ? t2 : "");
    collect(severity, m1, f1, l1, c1, ml1, text.c_str());
}

constexpr po_xerror_handler kHandler{collect, collect2};

class Problems {
public:
    Problems() { gProblems = &list_; }
    ~Problems() { gProblems = nullptr; }
    void throwIfAny(const std::string& what) const {
        if (list_.empty()) return;
        std::string message = what;
        for (const std::string& p : list_) message += "\n  " + p;
        throw PoError(message);
    }

private:
    std::vector<std::string> list_;
};

// po_file_free leaves each message's context string behind; setting it to
// none through the library frees it first.
void releaseContexts(po_file_t file) {
    const char* const* domains = po_file_domains(file);
    for (; domains && *domains; ++domains) {
        po_message_iterator_t it = po_message_iterator(file, *domains);
        while (po_message_t m = po_next_message(it))
            if (po_message_msgctxt(m)) po_message_set_msgctxt(m, nullptr);
        po_message_iterator_free(it);
    }
}

struct FileFree {
    void operator()(po_file_t f) const {
        releaseContexts(f);
        po_file_free(f);
    }
};
using FilePtr = std::unique_ptr<std::remove_pointer_t<po_file_t>, FileFree>;

struct IteratorFree {
    void operator()(po_message_iterator_t it) const { po_message_iterator_free(it); }
};
using IteratorPtr = std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, IteratorFree>;

std::string text(const char* s) {
    return s ? s : "";
}

// The library joins the "#." lines into a string of its own allocation that
// it never frees; an empty result is its constant "".
std::string extractedComments(po_message_t m) {
    const char* joined = po_message_extracted_comments(m);
    if (!joined || !*joined) return {};
    std::string comments = joined;
    std::free(const_cast<char*>(joined));
    return comments;
}

}  // namespace

std::vector<Entry> readCatalogue(const std::string& path) {
    // The library reports a file it cannot open by returning nothing; ask
    // the system first so the reason can be given.
    if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        throw PoError(path + ": cannot open: " + std::strerror(errno));
    }
    Problems problems;
    FilePtr file(po_file_read(path.c_str(), &kHandler));
    problems.throwIfAny(path + ": not a valid PO file:");
    if (!file) throw PoError(path + ": not a valid PO file");

    std::vector<Entry> entries;
    IteratorPtr it(po_message_iterator(file.get(), nullptr));
    while (po_message_t m = po_next_message(it.get())) {
        const std::string id = text(po_message_msgid(m));
        if (id.empty() && !po_message_msgctxt(m)) continue;  // the header
        Entry e;
        e.context = text(po_message_msgctxt(m));
        e.source = id;
        e.translation = text(po_message_msgstr(m));
        e.extractedComment = extractedComments(m);
        e.fuzzy = po_message_is_fuzzy(m) != 0;
        e.obsolete = po_message_is_obsolete(m) != 0;
        entries.push_back(std::move(e));
    }
    return entries;
}

namespace {

FilePtr buildCatalogue(const std::string& projectId, const std::vector<Entry>& entries, bool isTemplate) {
    FilePtr file(po_file_create());
    IteratorPtr it(po_message_iterator(file.get(), nullptr));

    po_message_t header = po_message_create();
    po_message_set_msgid(header, "");
    // The placeholders a template carries, so msginit and the translation
    // tools fill in the translator's fields; the header stays fuzzy until then.
    const std::string headerText = "Project-Id-Version: " + projectId +
                                   "\n"
                                   "PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\n"
                                   "Last-Translator: FULL NAME <EMAIL@ADDRESS>\n"
                                   "Language-Team: LANGUAGE <LL@li.org>\n"
                                   "Language: \n"
                                   "MIME-Version: 1.0\n"
                                   "Content-Type: text/plain; charset=UTF-8\n"
                                   "Content-Transfer-Encoding: 8bit\n";
    po_message_set_msgstr(header, headerText.c_str());
    po_message_set_fuzzy(header, isTemplate ? 1 : 0);
    po_message_insert(it.get(), header);

    for (const Entry& e : entries) {
        po_message_t m = po_message_create();
        if (!e.context.empty()) po_message_set_msgctxt(m, e.context.c_str());
        po_message_set_msgid(m, e.source.c_str());
        po_message_set_msgstr(m, isTemplate ? "" : e.translation.c_str());
        if (!isTemplate && e.fuzzy) po_message_set_fuzzy(m, 1);
        if (!e.extractedComment.empty()) po_message_set_extracted_comments(m, e.extractedComment.c_str());
        po_message_insert(it.get(), m);
    }
    it.reset();
    return file;
}

// The catalogue's bytes. libgettextpo writes only to a file it opens by
// name, and it does not report a failing write: a full disk would leave a
// short catalogue that it calls written. So it writes into a pipe, which a
// thread of ours drains into memory (a pipe knows no disk space and no file
// size limit), and the disk is written by the file writer alone, whose every
// step is checked.
std::string render(po_file_t file, const std::string& what) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw PoError("cannot make " + what + ": " + std::strerror(errno));
    std::string bytes;
    int readError = 0;
    std::thread drain([&bytes, &readError, in = ends[0]] {
        char chunk[64 * 1024];
        for (;;) {
            const ssize_t n = ::read(in, chunk, sizeof chunk);
            if (n > 0) {
                bytes.append(chunk, static_cast<std::size_t>(n));
            } else if (n == 0) {
                return;
            } else if (errno != EINTR) {
                readError = errno;
                return;
            }
        }
    });
    const auto finishDrain = [&] {
        ::close(ends[1]);
        drain.join();
        ::close(ends[0]);
    };
    try {
        Problems problems;
        const std::string name = "/proc/self/fd/" + std::to_string(ends[1]);
        const po_file_t written = po_file_write(file, name.c_str(), &kHandler);
        problems.throwIfAny("cannot make " + what + ":");
        if (!written) throw PoError("cannot make " + what);
    } catch (...) {
        finishDrain();
        throw;
    }
    finishDrain();
    if (readError) throw PoError("cannot make " + what + ": " + std::strerror(readError));
    // A catalogue always holds at least its header.
    if (bytes.empty()) throw PoError("cannot make " + what + ": the library wrote nothing");
    return bytes;
}

}  // namespace

std::string templateText(const std::string& projectId, const std::vector<Entry>& entries) {
    return render(buildCatalogue(projectId, entries, true).get(), "the template");
}

std::string catalogueText(const std::string& projectId, const std::vector<Entry>& entries) {
    return render(buildCatalogue(projectId, entries, false).get(), "the catalogue");
}

void writeTemplate(const std::string& path, const std::string& projectId, const std::vector<Entry>& entries) {
    writeWholeFile(path, templateText(projectId, entries));
}

void writeCatalogue(const std::string& path, const std::string& projectId, const std::vector<Entry>& entries) {
    writeWholeFile(path, catalogueText(projectId, entries));
}

}  // namespace wright::po
