#include "platform/linux/launcherscript.h"

#include "base/foreignfile.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <vector>

namespace vellumite {

namespace {

// One word of a script as the shell splits it, or one of the operators that end a command.
struct Word
{
    QByteArray text; // quotes and escapes removed
    bool quoted = false;
    // Holds a variable or a command substitution, so its value is known only when the script runs.
    bool expands = false;
    bool endsCommand = false;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Splits the script into words: quotes ('…', "…") and backslashes as the shell takes them, comments
// dropped, redirections (2>&1, >/dev/null) dropped with their targets. A line break, ";", "&", "|" and
// the parentheses end a command.
class ScriptWords
{
public:
    explicit ScriptWords(QByteArrayView text)
        : m_text(text)
    { }

    std::vector<Word> split()
    {
        for (m_at = 0; m_at < m_text.size(); ++m_at) {
            const char c = m_text[m_at];
            if (c == '\\')
                escaped();
            else if (c == '\'')
                singleQuoted();
            else if (c == '"')
                doubleQuoted();
            else if (c == '#' && !m_inWord)
                skipComment();
            else if (isBlank(c))
                finishWord();
            else if (c == '\n' || c == ';' || c == '&' || c == '|' || c == '(' || c == ')')
                endCommand();
            else if (c == '<' || c == '>')
                redirection();
            else
                append(c);
        }
        finishWord();
        return std::move(m_words);
    }

private:
    void append(char c)
    {
        if (c == '$' || c == '`')
            m_word.expands = true;
        m_word.text += c;
        m_inWord = true;
    }

    void escaped()
    {
        if (m_at + 1 >= m_text.size())
            return;
        // A backslash before a line break joins the lines.
        if (m_text[++m_at] == '\n')
            return;
        m_word.text += m_text[m_at];
        m_word.quoted = true;
        m_inWord = true;
    }

    void singleQuoted()
    {
        m_word.quoted = true;
        m_inWord = true;
        while (++m_at < m_text.size() && m_text[m_at] != '\'')
            m_word.text += m_text[m_at];
    }

    void doubleQuoted()
    {
        m_word.quoted = true;
        m_inWord = true;
        while (++m_at < m_text.size() && m_text[m_at] != '"') {
            const char c = m_text[m_at];
            if (c == '\\' && m_at + 1 < m_text.size()
                && QByteArrayView("\"\\$`\n").contains(m_text[m_at + 1])) {
                if (m_text[++m_at] != '\n')
                    m_word.text += m_text[m_at];
                continue;
            }
            if (c == '$' || c == '`')
                m_word.expands = true;
            m_word.text += c;
        }
    }

    void skipComment()
    {
        while (m_at + 1 < m_text.size() && m_text[m_at + 1] != '\n')
            ++m_at;
    }

    void redirection()
    {
        // The descriptor number before the operator belongs to it, and so does the next word.
        const bool number = m_inWord && !m_word.quoted && !m_word.text.isEmpty()
            && std::all_of(m_word.text.begin(), m_word.text.end(),
                           [](char c) { return c >= '0' && c <= '9'; });
        if (number) {
            m_word = {};
            m_inWord = false;
        } else {
            finishWord();
        }
        while (m_at + 1 < m_text.size() && QByteArrayView("<>&|-").contains(m_text[m_at + 1]))
            ++m_at;
        m_dropNextWord = true;
    }

    void endCommand()
    {
        finishWord();
        m_dropNextWord = false;
        m_words.push_back({ {}, false, false, true });
    }

    void finishWord()
    {
        if (!m_inWord)
            return;
        if (m_dropNextWord)
            m_dropNextWord = false;
        else
            m_words.push_back(std::move(m_word));
        m_word = {};
        m_inWord = false;
    }

    QByteArrayView m_text;
    qsizetype m_at = 0;
    Word m_word;
    bool m_inWord = false;
    bool m_dropNextWord = false;
    std::vector<Word> m_words;
};

// Words after which a new command starts.
bool leadsACommand(const Word &word)
{
    static constexpr QByteArrayView Keywords[] { "if",    "then", "else", "elif", "while",
                                                 "until", "do",   "!",    "{" };
    return !word.quoted
        && std::find(std::begin(Keywords), std::end(Keywords), word.text) != std::end(Keywords);
}

// NAME=value before a command sets a variable for it.
bool isAssignment(const Word &word)
{
    const qsizetype equals = word.text.indexOf('=');
    return !word.quoted && equals > 0
        && std::all_of(word.text.begin(), word.text.begin() + equals, [](char c) {
               return c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

} // namespace

QString execTargetOfScript(QByteArrayView text)
{
    if (text.contains('\0'))
        return {};
    const std::vector<Word> words = ScriptWords(text).split();
    QString target;
    bool commandStart = true;
    for (size_t at = 0; at < words.size(); ++at) {
        const Word &word = words[at];
        if (word.endsCommand || (commandStart && leadsACommand(word))) {
            commandStart = true;
            continue;
        }
        if (commandStart && isAssignment(word))
            continue;
        if (commandStart && !word.quoted && word.text == "exec") {
            // exec's own options: bash's -a NAME, -c and -l, and "--".
            size_t program = at + 1;
            while (program < words.size() && !words[program].endsCommand && !words[program].quoted
                   && words[program].text.startsWith('-'))
                program += words[program].text == "-a" ? 2 : 1;
            if (program < words.size() && !words[program].endsCommand && !words[program].expands
                && words[program].text.startsWith('/'))
                target = QFile::decodeName(words[program].text);
        }
        commandStart = false;
    }
    return target;
}

QString launcherScriptTarget(const QString &script)
{
    const ForeignFileRead read = readForeignFile(script, MaximumLauncherScriptSize);
    return read.ok() ? execTargetOfScript(read.bytes) : QString();
}

} // namespace vellumite
