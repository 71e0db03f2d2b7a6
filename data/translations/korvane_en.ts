<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>korvane::MenuBar</name>
    <message>
        <source>&amp;Datei</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bild &amp;öffnen...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;MAP-Datei importieren...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;HTML-Seite importieren...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Zuletzt geöffnet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Speichern...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In HTML-Seite &amp;exportieren...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Beenden</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Bearbeiten</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ausschneiden</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Kopieren</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Einfügen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Löschen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alles aus&amp;wählen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;igenschaften...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Areal &amp;duplizieren</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alle Areale lö&amp;schen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Reihenfolge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ansicht</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ver&amp;größern</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ver&amp;kleinern</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Originalgröße (100 %)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In Fenster &amp;einpassen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Lupe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Neu zeichnen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Werkzeuge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Polygon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Rechteck</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Kreis</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Areale &amp;bearbeiten (EditMode)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Map</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Code kopieren</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Hilfe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Tastenkürzel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ü&amp;ber Korvane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tastenkürzel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pfeiltasten (Umschalt: zehn Pixel)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bild, Edit-Modus: ausgewählte Areale verschieben</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tab, Umschalt+Tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bild, Edit-Modus: nächstes und voriges Areal wählen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bild auf, Bild ab, Pos1, Ende</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bild, Edit-Modus: Reihenfolge der Areale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alt gedrückt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bild: Einrasten aussetzen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Strg+Mausrad</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bild: um den Mauszeiger vergrößern und verkleinern</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Strg+Tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Code: ein Tabulatorzeichen schreiben</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tasten</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Befehl</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Korvane %1.%2

Ein Editor für HTML-Imagemaps: Areale auf einem Bild zeichnen, mit Verweisen versehen und als Map-Code mitnehmen.

Qt %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Über Korvane</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvane::RecentFiles</name>
    <message>
        <source>Die Datei &quot;%1&quot; gibt es nicht mehr. Soll sie aus der Liste der zuletzt geöffneten Dateien entfernt werden?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keine zuletzt geöffneten Dateien</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Liste leeren</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korvane::StatusLine</name>
    <message>
        <source>x %1, y %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rechteck: x %1, y %2, %3 × %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kreis: Mitte x %1, y %2, Radius %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Polygon: %1 Punkte, x %2, y %3, %4 × %5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: keine gültige Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Areale ausgewählt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keine Areale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 Areal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Areale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zuerst ein Bild öffnen: Datei &gt; Bild öffnen... (Strg+O).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Areal anklicken und ziehen; die Ziehpunkte ändern seine Form, Strg+Klick wählt mehrere.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Polygon: Punkte nacheinander anklicken, ein Rechtsklick schließt es.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rechteck: mit gedrückter Maustaste von Ecke zu Ecke ziehen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kreis: von der Mitte aus mit gedrückter Maustaste nach rechts ziehen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Areale bearbeiten: zuerst ein Areal in der Arealliste wählen.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
