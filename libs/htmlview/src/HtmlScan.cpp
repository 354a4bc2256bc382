#include "HtmlScan.h"

#include <QHash>
#include <QRegularExpression>

#include "textfold/TextFold.h"

namespace htmlview {

namespace {

bool isSpace(QChar c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

int indexOfInsensitive(const QString& text, const QString& what, int from) {
    return text.indexOf(what, from, Qt::CaseInsensitive);
}

QString placeholder(int index, QSize size) {
    return QStringLiteral("<img src=\"%1:%2\" width=\"%3\" height=\"%4\">")
        .arg(QLatin1String(kFieldScheme))
        .arg(index)
        .arg(size.width())
        .arg(size.height());
}

// Text of a piece of markup: tags dropped, references decoded, blanks collapsed.
QString plainText(const QString& markup) {
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    QString text = markup;
    text.remove(tags);
    return DecodeEntities(text).simplified();
}

int numberOr(const QString& text, int fallback, int low, int high) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::clamp(value, low, high) : fallback;
}

}  // namespace

bool HtmlTag::has(const QString& name) const {
    for (const auto& a : attributes)
        if (a.first == name) return true;
    return false;
}

QString HtmlTag::attribute(const QString& name, const QString& fallback) const {
    for (const auto& a : attributes)
        if (a.first == name) return a.second;
    return fallback;
}

std::optional<HtmlTag> NextTag(const QString& html, int from) {
    const int n = html.size();
    int i = from;
    for (;;) {
        i = html.indexOf('<', i);
        if (i < 0 || i + 1 >= n) return std::nullopt;
        if (html.mid(i, 4) == QLatin1String("<!--")) {
            const int close = html.indexOf(QLatin1String("-->"), i + 4);
            if (close < 0) return std::nullopt;
            i = close + 3;
            continue;
        }
        if (html[i + 1] == '!' || html[i + 1] == '?') {
            const int close = html.indexOf('>', i);
            if (close < 0) return std::nullopt;
            i = close + 1;
            continue;
        }
        HtmlTag tag;
        tag.start = i;
        int p = i + 1;
        if (html[p] == '/') {
            tag.closing = true;
            ++p;
        }
        if (p >= n || !html[p].isLetter()) {
            ++i;  // a literal "<"
            continue;
        }
        const int nameStart = p;
        while (p < n && !isSpace(html[p]) && html[p] != '>' && html[p] != '/') ++p;
        tag.name = html.mid(nameStart, p - nameStart).toLower();
        tag.end = n;
        while (p < n) {
            while (p < n && (isSpace(html[p]) || html[p] == '/')) ++p;
            if (p >= n) break;
            if (html[p] == '>') {
                tag.end = p + 1;
                break;
            }
            const int attributeStart = p;
            while (p < n && !isSpace(html[p]) && html[p] != '=' && html[p] != '>') ++p;
            const QString name = html.mid(attributeStart, p - attributeStart).toLower();
            while (p < n && isSpace(html[p])) ++p;
            QString value;
            if (p < n && html[p] == '=') {
                ++p;
                while (p < n && isSpace(html[p])) ++p;
                if (p < n && (html[p] == '"' || html[p] == '\'')) {
                    const int close = html.indexOf(html[p], p + 1);
                    const int end = close < 0 ? n : close;
                    value = html.mid(p + 1, end - p - 1);
                    p = close < 0 ? n : close + 1;
                } else {
                    const int valueStart = p;
                    while (p < n && !isSpace(html[p]) && html[p] != '>') ++p;
                    value = html.mid(valueStart, p - valueStart);
                }
            }
            if (!name.isEmpty()) tag.attributes.append({name, DecodeEntities(value)});
        }
        if (!tag.closing && (tag.name == "script" || tag.name == "style")) {
            // Their contents are not markup: "<input" in a script is no field.
            const int close = indexOfInsensitive(html, "</" + tag.name, tag.end);
            if (close < 0) return std::nullopt;
            i = close;
            continue;
        }
        return tag;
    }
}

QString DecodeEntities(const QString& text) {
    if (!text.contains('&')) return text;
    static const QHash<QString, QChar> named = {
        {"amp", '&'},
        {"lt", '<'},
        {"gt", '>'},
        {"quot", '"'},
        {"apos", '\''},
        {"nbsp", QChar(0xA0)},
        {"copy", QChar(0xA9)},
        {"reg", QChar(0xAE)},
        {"eacute", QChar(0xE9)},
        {"egrave", QChar(0xE8)},
        {"uuml", QChar(0xFC)},
        {"ouml", QChar(0xF6)},
        {"auml", QChar(0xE4)},
        {"szlig", QChar(0xDF)},
    };
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const int semicolon = text.indexOf(';', i + 1);
        if (semicolon < 0 || semicolon - i > 10) {
            out += text[i];
            continue;
        }
        const QString name = text.mid(i + 1, semicolon - i - 1);
        char32_t cp = 0;
        if (name.startsWith('#')) {
            bool ok = false;
            const uint value = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
                                   ? name.mid(2).toUInt(&ok, 16)
                                   : name.mid(1).toUInt(&ok, 10);
            if (ok && value > 0 && value <= 0x10FFFF) cp = value;
        } else if (const auto it = named.find(name); it != named.end()) {
            cp = it->unicode();
        }
        if (cp == 0) {
            out += text[i];
            continue;
        }
        out += QString::fromUcs4(&cp, 1);
        i = semicolon;
    }
    return out;
}

QString DecodePage(const QByteArray& bytes) {
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (textfold::isValidUtf8(view)) return QString::fromUtf8(bytes);
    const std::string utf8 = textfold::toUtf8Document(view);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString BaseOf(const QString& html) {
    for (auto tag = NextTag(html, 0); tag; tag = NextTag(html, tag->end))
        if (!tag->closing && tag->name == "base" && tag->has("href")) return tag->attribute("href");
    return {};
}

ScannedPage ScanForms(const QString& html, const std::function<QSize(const FieldInfo&)>& sizeOf) {
    ScannedPage page;
    int copied = 0;
    int form = -1;
    auto replace = [&](int start, int end, const QString& with) {
        page.html += html.mid(copied, start - copied);
        page.html += with;
        copied = end;
    };
    auto add = [&](FieldInfo field, int start, int end) {
        const int index = page.fields.size();
        if (field.kind == FieldInfo::Hidden) {
            replace(start, end, {});
        } else {
            field.placeholder = sizeOf(field);
            replace(start, end, placeholder(index, field.placeholder));
        }
        page.fields.append(field);
    };
    // The end of the element's contents: the start and end of its closing tag.
    auto closingTag = [&](const QString& name, int from) -> std::pair<int, int> {
        for (auto tag = NextTag(html, from); tag; tag = NextTag(html, tag->end))
            if (tag->closing && tag->name == name) return {tag->start, tag->end};
        const int end = static_cast<int>(html.size());
        return {end, end};
    };

    int next = 0;
    for (auto tag = NextTag(html, 0); tag; tag = NextTag(html, next)) {
        next = tag->end;
        if (tag->name == "form") {
            if (tag->closing) {
                form = -1;
            } else {
                FormInfo info;
                info.action = tag->attribute("action");
                info.method = tag->attribute("method", "get").toLower();
                info.target = tag->attribute("target");
                form = page.forms.size();
                page.forms.append(info);
            }
            continue;
        }
        if (tag->closing) continue;
        FieldInfo field;
        field.form = form;
        field.name = tag->attribute("name");
        field.value = tag->attribute("value");
        if (tag->name == "input") {
            const QString type = tag->attribute("type", "text").toLower();
            if (type == "hidden") {
                field.kind = FieldInfo::Hidden;
            } else if (type == "password") {
                field.kind = FieldInfo::Password;
            } else if (type == "submit" || type == "image") {
                field.kind = FieldInfo::Submit;
                if (!tag->has("value"))
                    field.value = type == "image" ? tag->attribute("alt", "Submit") : "Submit";
            } else if (type == "reset") {
                field.kind = FieldInfo::Reset;
                if (!tag->has("value")) field.value = "Reset";
            } else if (type == "button") {
                field.kind = FieldInfo::Button;
            } else if (type == "checkbox" || type == "radio") {
                field.kind = type == "checkbox" ? FieldInfo::Checkbox : FieldInfo::Radio;
                if (!tag->has("value")) field.value = "on";
                field.checked = tag->has("checked");
            } else {
                field.kind = FieldInfo::Text;
            }
            field.size = numberOr(tag->attribute("size"), 20, 1, 200);
            field.caption = field.value;
            add(field, tag->start, tag->end);
        } else if (tag->name == "button") {
            const auto [closeStart, closeEnd] = closingTag("button", tag->end);
            const QString type = tag->attribute("type", "submit").toLower();
            field.kind = type == "reset"    ? FieldInfo::Reset
                         : type == "button" ? FieldInfo::Button
                                            : FieldInfo::Submit;
            // The caption is the contents; what is submitted is the value attribute.
            field.caption = plainText(html.mid(tag->end, closeStart - tag->end));
            add(field, tag->start, closeEnd);
            next = closeEnd;
        } else if (tag->name == "select") {
            const auto [closeStart, closeEnd] = closingTag("select", tag->end);
            field.kind = FieldInfo::Select;
            for (auto option = NextTag(html, tag->end); option && option->start < closeStart;
                 option = NextTag(html, option->end)) {
                if (option->closing || option->name != "option") continue;
                auto textEnd = NextTag(html, option->end);
                const int end = textEnd ? std::min(textEnd->start, closeStart) : closeStart;
                FieldOption item;
                item.text = plainText(html.mid(option->end, end - option->end));
                item.value = option->has("value") ? option->attribute("value") : item.text;
                item.selected = option->has("selected");
                field.options.append(item);
            }
            add(field, tag->start, closeEnd);
            next = closeEnd;
        } else if (tag->name == "textarea") {
            // Its contents are text, never markup.
            const int close = indexOfInsensitive(html, "</textarea", tag->end);
            const int contentEnd = close < 0 ? static_cast<int>(html.size()) : close;
            const int closeBracket = close < 0 ? -1 : static_cast<int>(html.indexOf('>', close));
            const int closeEnd = close < 0 ? static_cast<int>(html.size())
                                           : (closeBracket < 0 ? close : closeBracket + 1);
            field.kind = FieldInfo::TextArea;
            QString text = html.mid(tag->end, contentEnd - tag->end);
            if (text.startsWith('\n')) text.remove(0, 1);
            field.value = DecodeEntities(text);
            field.rows = numberOr(tag->attribute("rows"), 2, 1, 100);
            field.cols = numberOr(tag->attribute("cols"), 20, 1, 200);
            add(field, tag->start, closeEnd);
            next = closeEnd;
        }
    }
    page.html += html.mid(copied);
    return page;
}

}  // namespace htmlview
