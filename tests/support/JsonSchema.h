#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cmath>

// A checker for the part of JSON Schema (2020-12) that Korvane's schema
// uses: $ref into $defs, type, const, enum, required, properties,
// additionalProperties, items, minItems, maxItems, minimum, allOf and
// if/then. A keyword it does not know is a problem too, so that the schema
// cannot grow past what is checked.
namespace korvane::test {

class JsonSchema {
public:
    explicit JsonSchema(QJsonObject root) : m_root(std::move(root)) {}

    // Every place the value breaks the schema, "/areas/0/coords: ..." each.
    QStringList problems(const QJsonValue& value) const
    {
        QStringList out;
        check(m_root, value, QString(), out);
        return out;
    }

private:
    static bool hasType(const QJsonValue& v, const QString& type)
    {
        if (type == QLatin1String("integer"))
            return v.isDouble() && v.toDouble() == std::floor(v.toDouble());
        return (type == QLatin1String("object") && v.isObject()) || (type == QLatin1String("array") && v.isArray()) ||
               (type == QLatin1String("string") && v.isString()) || (type == QLatin1String("number") && v.isDouble()) ||
               (type == QLatin1String("boolean") && v.isBool()) || (type == QLatin1String("null") && v.isNull());
    }

    void check(const QJsonObject& schema, const QJsonValue& v, const QString& at, QStringList& out) const
    {
        for (auto it = schema.begin(); it != schema.end(); ++it)
            keyword(schema, it.key(), it.value(), v, at, out);
    }

    void keyword(const QJsonObject& schema, const QString& key, const QJsonValue& s, const QJsonValue& v,
                 const QString& at, QStringList& out) const
    {
        const auto fail = [&](const QString& why) { out << (at.isEmpty() ? QStringLiteral("/") : at) + ": " + why; };
        if (key == "$schema" || key == "$id" || key == "title" || key == "description" || key == "$defs" ||
            key == "then") {
            return;
        } else if (key == "$ref") {
            const QString ref = s.toString();
            if (!ref.startsWith("#/$defs/"))
                return fail("unknown $ref " + ref);
            check(m_root.value("$defs").toObject().value(ref.mid(8)).toObject(), v, at, out);
        } else if (key == "type") {
            const QJsonArray types = s.isArray() ? s.toArray() : QJsonArray{s};
            for (const QJsonValue t : types) {
                if (hasType(v, t.toString()))
                    return;
            }
            fail("not of type " + QJsonDocument(QJsonObject{{"t", s}}).toJson(QJsonDocument::Compact));
        } else if (key == "const") {
            if (v != s)
                fail("not the constant");
        } else if (key == "enum") {
            if (!s.toArray().contains(v))
                fail("not in the enumeration");
        } else if (key == "required") {
            for (const QJsonValue name : s.toArray()) {
                if (v.isObject() && !v.toObject().contains(name.toString()))
                    fail("lacks " + name.toString());
            }
        } else if (key == "properties") {
            const QJsonObject properties = s.toObject();
            for (auto it = properties.begin(); v.isObject() && it != properties.end(); ++it) {
                if (v.toObject().contains(it.key()))
                    check(it.value().toObject(), v.toObject().value(it.key()), at + "/" + it.key(), out);
            }
        } else if (key == "additionalProperties") {
            const QJsonObject known = schema.value("properties").toObject();
            const QJsonObject object = v.toObject();
            for (auto it = object.begin(); v.isObject() && it != object.end(); ++it) {
                if (known.contains(it.key()))
                    continue;
                if (s.isBool() && !s.toBool())
                    fail("has " + it.key());
                else if (s.isObject())
                    check(s.toObject(), it.value(), at + "/" + it.key(), out);
            }
        } else if (key == "items") {
            const QJsonArray items = v.toArray();
            for (qsizetype i = 0; v.isArray() && i < items.size(); ++i)
                check(s.toObject(), items[i], at + "/" + QString::number(i), out);
        } else if (key == "minItems" || key == "maxItems") {
            const qsizetype count = v.toArray().size();
            if (v.isArray() && (key == "minItems" ? count < s.toInt() : count > s.toInt()))
                fail(QStringLiteral("%1 items, %2 %3").arg(count).arg(key).arg(s.toInt()));
        } else if (key == "minimum") {
            if (v.isDouble() && v.toDouble() < s.toDouble())
                fail("below the minimum");
        } else if (key == "allOf") {
            for (const QJsonValue part : s.toArray())
                check(part.toObject(), v, at, out);
        } else if (key == "if") {
            QStringList unmet;
            check(s.toObject(), v, at, unmet);
            if (unmet.isEmpty())
                check(schema.value("then").toObject(), v, at, out);
        } else {
            fail("the checker does not know the keyword " + key);
        }
    }

    QJsonObject m_root;
};

} // namespace korvane::test
