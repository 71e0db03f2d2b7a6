<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>korvane::AreaArrangement</name>
    <message>
        <source>Links</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Rechts</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Oben</source>
        <translation>Top</translation>
    </message>
    <message>
        <source>Unten</source>
        <translation>Bottom</translation>
    </message>
    <message>
        <source>Horizontal zentriert</source>
        <translation>Centred horizontally</translation>
    </message>
    <message>
        <source>Vertikal zentriert</source>
        <translation>Centred vertically</translation>
    </message>
    <message>
        <source>Gleiche Breite</source>
        <translation>Same width</translation>
    </message>
    <message>
        <source>Gleiche Höhe</source>
        <translation>Same height</translation>
    </message>
    <message>
        <source>Horizontal verteilen</source>
        <translation>Distribute horizontally</translation>
    </message>
    <message>
        <source>Vertikal verteilen</source>
        <translation>Distribute vertically</translation>
    </message>
</context>
<context>
    <name>korvane::AreaClipboard</name>
    <message>
        <source>Areale ausschneiden</source>
        <translation>Cut areas</translation>
    </message>
    <message>
        <source>Areale einfügen</source>
        <translation>Paste areas</translation>
    </message>
</context>
<context>
    <name>korvane::AreaList</name>
    <message>
        <source>… (%1 Zeichen)</source>
        <translation>… (%1 characters)</translation>
    </message>
</context>
<context>
    <name>korvane::AreaTableModel</name>
    <message>
        <source>Form</source>
        <translation>Shape</translation>
    </message>
    <message>
        <source>Koordinaten</source>
        <translation>Coordinates</translation>
    </message>
    <message>
        <source>Verweisziel</source>
        <translation>Link target</translation>
    </message>
    <message>
        <source>Alternativer Text</source>
        <translation>Alternative text</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Target</translation>
    </message>
</context>
<context>
    <name>korvane::AreaTableWindow</name>
    <message>
        <source>Arealtabelle</source>
        <translation>Area table</translation>
    </message>
    <message>
        <source>&amp;Filter:</source>
        <translation>&amp;Filter:</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Zeigt nur die Areale, die diesen Text enthalten.</source>
        <translation>Shows only the areas that contain this text.</translation>
    </message>
    <message>
        <source>Arealtabelle...</source>
        <translation>Area table...</translation>
    </message>
</context>
<context>
    <name>korvane::AttributeForm</name>
    <message>
        <source>Eigenschaften, Verweisziele...</source>
        <translation>Properties, link targets...</translation>
    </message>
    <message>
        <source>Korvane , Attribute bearbeiten...</source>
        <translation>Korvane , edit attributes...</translation>
    </message>
    <message>
        <source>Verweisziel (z.B:  http://www.beispiel.de/index.html), oder eine lokale Datei auswählen</source>
        <translation>Link target (e.g.:  http://www.example.com/index.html), or choose a local file</translation>
    </message>
    <message>
        <source>Lokale Datei auswälen und einen relativen URL- Verweis erstellen.</source>
        <translation>Choose a local file and make a relative URL link.</translation>
    </message>
    <message>
        <source>Alternativer Text. Dieser Text erscheint beim Überfahren der Areale mit der Maus:</source>
        <translation>Alternative text. This text appears when the mouse passes over the areas:</translation>
    </message>
    <message>
        <source>Alternativer Text. Dieser Text erscheint beim Überfahren mit der Maus:</source>
        <translation>Alternative text. This text appears when the mouse passes over it:</translation>
    </message>
    <message>
        <source>Target Attribut:</source>
        <translation>Target attribute:</translation>
    </message>
    <message>
        <source>JavaScript EventHandler:</source>
        <translation>JavaScript event handlers:</translation>
    </message>
    <message>
        <source>JavaScript EventHandler</source>
        <translation>JavaScript event handlers</translation>
    </message>
    <message>
        <source>Hinweis: Hier kann auch zunächst auf &quot;Übernehmen&quot; geklickt werden. Die richtigen Werte können dann später im Edit-Modus eingetragen werden.</source>
        <translation>Note: you may also click &quot;Apply&quot; now and enter the right values later in edit mode.</translation>
    </message>
    <message>
        <source>Übernehmen</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Das eben gezeichnete Areal wird gelöscht.</source>
        <translation>The area just drawn is deleted.</translation>
    </message>
    <message>
        <source>- Verweisziel</source>
        <translation>- Link target</translation>
    </message>
    <message>
        <source> - Target Attribut</source>
        <translation> - Target attribute</translation>
    </message>
    <message>
        <source> - JavaScript EventHandler</source>
        <translation> - JavaScript event handlers</translation>
    </message>
    <message>
        <source>HTML, HTM, PHP, ASP-Dateien</source>
        <translation>HTML, HTM, PHP, ASP files</translation>
    </message>
    <message>
        <source>HTML, HTM, PHP, ASP-Dateien (*.html,*.htm,*.php,*.asp) |*.html;*.htm;*.php;*.asp</source>
        <translation>HTML, HTM, PHP, ASP files (*.html,*.htm,*.php,*.asp) |*.html;*.htm;*.php;*.asp</translation>
    </message>
    <message>
        <source>Die Daten wurden noch nicht übernommen. Daten verwerfen und Areal löschen?</source>
        <translation>The data have not been applied yet. Discard them and delete the area?</translation>
    </message>
    <message>
        <source>Die Daten wurden noch nicht übernommen. Daten verwerfen und die ursprünglichen Werte verwenden?</source>
        <translation>The data have not been applied yet. Discard them and keep the original values?</translation>
    </message>
    <message>
        <source>Als Verweisziel kann auch JavaScript Code eingetragen werden (z.B: javascript:alert(&apos;Meldung&apos;).</source>
        <translation>JavaScript code may be entered as the link target too (e.g.: javascript:alert(&apos;Message&apos;).</translation>
    </message>
    <message>
        <source>&quot;_blank&quot; - das Dokument wird in ein neues, zusätzliches Browserfenster geladen, die alte Seite bleibt erhalten </source>
        <translation>&quot;_blank&quot; - the document is loaded into a new, additional browser window; the old page stays </translation>
    </message>
    <message>
        <source>&quot;_self&quot; - das Dokument wird in das gerade aktive Fenster geladen.</source>
        <translation>&quot;_self&quot; - the document is loaded into the window that is active now.</translation>
    </message>
    <message>
        <source>&quot;_parent&quot; - bei geschachtelten Frames wird das Dokument in das Fenster geladen, das sich eine Verschachtelungsebene höher befindet</source>
        <translation>&quot;_parent&quot; - with nested frames the document is loaded into the window one level of nesting higher</translation>
    </message>
    <message>
        <source>&quot;_top&quot; - das Dokument wird in das Browserfenster geladen, löscht also die Framedarstellung </source>
        <translation>&quot;_top&quot; - the document is loaded into the browser window, so the frames are gone </translation>
    </message>
    <message>
        <source>In die ComboBox können auch Namen von Frames per Hand eingetragen werden (z.B. links, rechts).</source>
        <translation>Names of frames may also be typed into the combo box (e.g. left, right).</translation>
    </message>
    <message>
        <source>Bleibt die ComboBox leer, wird das Target-Attribut nicht verwendet und der Verweis wird im gleichen Fenster geöffnet.</source>
        <translation>When the combo box stays empty, no target attribute is written and the link opens in the same window.</translation>
    </message>
    <message>
        <source>Die 3 Eingabefelder im unteren Teil sollten nur User mit JavaScript Kentnissen verwenden.</source>
        <translation>The 3 fields in the lower part are meant for users who know JavaScript.</translation>
    </message>
    <message>
        <source>In diese Felder kann JavaScript Code eingetragen werden oder es können vorher </source>
        <translation>JavaScript code may be entered into these fields, or functions defined </translation>
    </message>
    <message>
        <source>definierte JavaScript Functionen aufgerufen werden.</source>
        <translation>earlier may be called.</translation>
    </message>
    <message>
        <source>Beispiel: Öffnen eines Fensters </source>
        <translation>Example: opening a window </translation>
    </message>
    <message>
        <source>Innerhalb des Codes nur einfache Beistriche (&apos;) verwenden.</source>
        <translation>Use only single quotes (&apos;) inside the code.</translation>
    </message>
    <message>
        <source>Beispiel: Aufruf einer vorher definierten Funktion</source>
        <translation>Example: calling a function defined earlier</translation>
    </message>
    <message>
        <source>Der Code muss nicht in Beistriche (&quot;) eingeschlossen werden.</source>
        <translation>The code need not be put in quotes (&quot;).</translation>
    </message>
    <message>
        <source>Im HTML-Quellcode steht dann später: onclick=&quot;IhreFunktion()&quot;</source>
        <translation>The HTML source then reads: onclick=&quot;IhreFunktion()&quot;</translation>
    </message>
    <message>
        <source>Falls sie über keine JavaScript Kentnisse verfügen, sollten Sie diese Felder leer lassen.</source>
        <translation>If you do not know JavaScript, leave these fields empty.</translation>
    </message>
    <message>
        <source>Uebernehmen</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>korvane::Canvas</name>
    <message>
        <source>Zeichenfläche</source>
        <translation>Drawing area</translation>
    </message>
</context>
<context>
    <name>korvane::CodeBox</name>
    <message>
        <source>… (%1 weitere Zeilen)</source>
        <translation>… (%1 more lines)</translation>
    </message>
</context>
<context>
    <name>korvane::CodeBoxMenu</name>
    <message>
        <source>Verzerrt füllen (fill)</source>
        <translation>Fill, distorted (fill)</translation>
    </message>
    <message>
        <source>Ganz zeigen (contain)</source>
        <translation>Show whole (contain)</translation>
    </message>
    <message>
        <source>Ausschnitt füllen (cover)</source>
        <translation>Fill with a section (cover)</translation>
    </message>
    <message>
        <source>Responsiven Code kopieren</source>
        <translation>Copy responsive code</translation>
    </message>
    <message>
        <source>Responsive Seite speichern...</source>
        <translation>Save responsive page...</translation>
    </message>
    <message>
        <source>Einpassung der responsiven Grafik</source>
        <translation>Fit of the responsive picture</translation>
    </message>
    <message>
        <source>Bildpfad relativ zur Seite</source>
        <translation>Picture path relative to the page</translation>
    </message>
</context>
<context>
    <name>korvane::ColorPalette</name>
    <message>
        <source>Farbpalette</source>
        <translation>Colour palette</translation>
    </message>
</context>
<context>
    <name>korvane::EditHandles</name>
    <message>
        <source>Ankerpunkt</source>
        <translation>Anchor</translation>
    </message>
    <message>
        <source>Ziehpunkt %1</source>
        <translation>Handle %1</translation>
    </message>
</context>
<context>
    <name>korvane::ExportWindow</name>
    <message>
        <source>Die Datei &quot;%1&quot; konnte nicht gelesen werden.</source>
        <translation>The file &quot;%1&quot; could not be read.</translation>
    </message>
    <message>
        <source>Der HTML-Code konnte nicht gespeichert werden: Die Datei &quot;%1&quot; ließ sich nicht schreiben.</source>
        <translation>The HTML code could not be saved: the file &quot;%1&quot; could not be written.</translation>
    </message>
    <message>
        <source>Eine bereits vorhandene Datei dieses Namens ist unverändert geblieben.</source>
        <translation>A file of this name that was there already is unchanged.</translation>
    </message>
    <message>
        <source>MAP-Daten in eine bereits existierende HTML-Datei einfügen</source>
        <translation>Insert the map data into an existing HTML file</translation>
    </message>
    <message>
        <source>Einfügen</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>Positionieren Sie den Maus-Cursor mit einem Maus-Klick an die gewünschte Stelle des Quelltextes und klicken Sie danach auf den Button &quot;Einfügen&quot;.</source>
        <translation>Click to put the cursor where the code belongs in the source, then click the button &quot;Insert&quot;.</translation>
    </message>
    <message>
        <source>File= %1  Size: %2 Byte</source>
        <translation>File= %1  Size: %2 bytes</translation>
    </message>
    <message>
        <source>HTML-Datei speichern unter...</source>
        <translation>Save HTML file as...</translation>
    </message>
    <message>
        <source>HTML-Datei (*.html)|*.html</source>
        <translation>HTML file (*.html)|*.html</translation>
    </message>
    <message>
        <source>Der HTML-Code wurde noch nicht gespeichert. Soll der Code jetzt gespeichert werden?</source>
        <translation>The HTML code has not been saved yet. Save it now?</translation>
    </message>
</context>
<context>
    <name>korvane::FileCommands</name>
    <message>
        <source>PNG,  JPG, JPEG, GIF, BMP (Bilddateien)</source>
        <translation>PNG,  JPG, JPEG, GIF, BMP (picture files)</translation>
    </message>
    <message>
        <source>Bilddateien (*.png,*.jpg,*.gif,*.bmp) |*.bmp;*.jpg;*.jpeg;*.gif;*.png</source>
        <translation>Picture files (*.png,*.jpg,*.gif,*.bmp) |*.bmp;*.jpg;*.jpeg;*.gif;*.png</translation>
    </message>
    <message>
        <source>Alle Bilddateien</source>
        <translation>All picture files</translation>
    </message>
    <message>
        <source>Die HTML-Datei wurde unter &quot;%1&quot; gespeichert.</source>
        <translation>The HTML file was saved as &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Soll die erzeugte Test-HTML-Datei und die MAP-Datendatei (eine ASCII-Textdatei mit den eigentlichen MAP-Daten) jetzt zur Kontrolle mit dem StandardBrowser angezeigt werden?</source>
        <translation>Show the test HTML file and the map data file (a text file with the map data themselves) in the standard browser now, to check them?</translation>
    </message>
    <message>
        <source>Die MAP-Daten konnten nicht gespeichert werden: Die Datei &quot;%1&quot; ließ sich nicht schreiben.</source>
        <translation>The map data could not be saved: the file &quot;%1&quot; could not be written.</translation>
    </message>
    <message>
        <source>Eine bereits vorhandene Datei dieses Namens ist unverändert geblieben.</source>
        <translation>A file of this name that was there already is unchanged.</translation>
    </message>
    <message>
        <source>Die MAP-Datei &quot;%1&quot; gibt es bereits; sie gehört nicht zu dieser ImageMap. Soll sie ersetzt werden?</source>
        <translation>The map file &quot;%1&quot; exists already; it does not belong to this image map. Replace it?</translation>
    </message>
    <message>
        <source>Test-HTML-Datei und MAP-Daten speichern unter...</source>
        <translation>Save test HTML file and map data as...</translation>
    </message>
    <message>
        <source>HTML-Datei (*.html)|*.html</source>
        <translation>HTML file (*.html)|*.html</translation>
    </message>
    <message>
        <source>HTML-Datei öffnen</source>
        <translation>Open HTML file</translation>
    </message>
    <message>
        <source>Html-Dateien (html, htm, php, asp) |*.html;*.htm;*.php;*.asp</source>
        <translation>HTML files (html, htm, php, asp) |*.html;*.htm;*.php;*.asp</translation>
    </message>
    <message>
        <source>Die Hilfe kann nicht geöffnet werden: Die Datei &quot;%1&quot; gibt es nicht.</source>
        <translation>The help cannot be opened: the file &quot;%1&quot; does not exist.</translation>
    </message>
    <message>
        <source>Die Hilfe &quot;%1&quot; kann nicht geöffnet werden: Es lässt sich kein Browser starten, der sie zeigt.</source>
        <translation>The help &quot;%1&quot; cannot be opened: no browser can be started to show it.</translation>
    </message>
</context>
<context>
    <name>korvane::FormCommands</name>
    <message>
        <source>Der MediaWiki-Code ist in der Zwischenablage.</source>
        <translation>The MediaWiki code is on the clipboard.</translation>
    </message>
    <message>
        <source>JSON speichern unter...</source>
        <translation>Save JSON as...</translation>
    </message>
    <message>
        <source>JSON-Datei (*.json)|*.json</source>
        <translation>JSON file (*.json)|*.json</translation>
    </message>
    <message>
        <source>Die JSON-Datei konnte nicht gespeichert werden: Die Datei &quot;%1&quot; ließ sich nicht schreiben.</source>
        <translation>The JSON file could not be saved: the file &quot;%1&quot; could not be written.</translation>
    </message>
    <message>
        <source>Eine bereits vorhandene Datei dieses Namens ist unverändert geblieben.</source>
        <translation>A file of this name that was there already is unchanged.</translation>
    </message>
    <message>
        <source>Die JSON-Datei wurde unter &quot;%1&quot; gespeichert.</source>
        <translation>The JSON file was saved as &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Farbe der Hervorhebung</source>
        <translation>Highlight colour</translation>
    </message>
</context>
<context>
    <name>korvane::FormsMenu</name>
    <message>
        <source>Keine</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Umriss</source>
        <translation>Outline</translation>
    </message>
    <message>
        <source>Umriss und Fläche</source>
        <translation>Outline and fill</translation>
    </message>
    <message>
        <source>MediaWiki-Code kopieren</source>
        <translation>Copy MediaWiki code</translation>
    </message>
    <message>
        <source>JSON speichern...</source>
        <translation>Save JSON...</translation>
    </message>
    <message>
        <source>Hervorhebung der responsiven Flächen</source>
        <translation>Highlight of the responsive areas</translation>
    </message>
    <message>
        <source>Farbe...</source>
        <translation>Colour...</translation>
    </message>
</context>
<context>
    <name>korvane::HtmlImport</name>
    <message>
        <source>Grafik: %1,  MapName: %2</source>
        <translation>Picture: %1,  map name: %2</translation>
    </message>
</context>
<context>
    <name>korvane::ImageLoader</name>
    <message>
        <source>Ungeeigneter Dateiname</source>
        <translation>Unsuitable file name</translation>
    </message>
    <message>
        <source>Datei nicht vorhanden/verfügbar</source>
        <translation>File missing or not available</translation>
    </message>
    <message>
        <source>Leere Datei</source>
        <translation>Empty file</translation>
    </message>
    <message>
        <source>Bildformat wird nicht unterstützt</source>
        <translation>Picture format not supported</translation>
    </message>
    <message>
        <source>Laden des Bildes scheitert (Loadpicture)</source>
        <translation>Loading the picture fails (Loadpicture)</translation>
    </message>
    <message>
        <source>Bitmap kann nicht aus Bild-Datei erstellt werden</source>
        <translation>No bitmap can be made from the picture file</translation>
    </message>
    <message>
        <source>Bitmap-Handle kann nicht erzeugt werden</source>
        <translation>No bitmap handle can be made</translation>
    </message>
    <message>
        <source>Das Bild ist zu groß: %1 × %2 Bildpunkte. Geöffnet werden Bilder mit höchstens 100 Millionen Bildpunkten (zum Beispiel 10000 × 10000).</source>
        <translation>The picture is too big: %1 × %2 pixels. Pictures of at most 100 million pixels open (10000 × 10000, for example).</translation>
    </message>
    <message>
        <source>fehlerhafte Initialisierung</source>
        <translation>faulty initialisation</translation>
    </message>
    <message>
        <source>Ungeeigneter Parameter</source>
        <translation>Unsuitable parameter</translation>
    </message>
    <message>
        <source>Speichermangel</source>
        <translation>Out of memory</translation>
    </message>
    <message>
        <source>GDIPlus ist noch beschäftigt</source>
        <translation>GDIPlus is still busy</translation>
    </message>
    <message>
        <source>Buffer zu klein</source>
        <translation>Buffer too small</translation>
    </message>
    <message>
        <source>Windows32-Fehler</source>
        <translation>Windows32 error</translation>
    </message>
    <message>
        <source>Falscher interner Zustand</source>
        <translation>Wrong internal state</translation>
    </message>
    <message>
        <source>Abbruch der Operation</source>
        <translation>Operation aborted</translation>
    </message>
    <message>
        <source>Datei nicht gefunden</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>Wert-Überlauf</source>
        <translation>Value overflow</translation>
    </message>
    <message>
        <source>Zugriff verweigert</source>
        <translation>Access denied</translation>
    </message>
    <message>
        <source>unbekanntes Bildformat</source>
        <translation>unknown picture format</translation>
    </message>
    <message>
        <source>GDIPlus-Version wird nicht unterstützt</source>
        <translation>GDIPlus version not supported</translation>
    </message>
    <message>
        <source>Keine GDIPlus-Verbindung</source>
        <translation>No GDIPlus connection</translation>
    </message>
    <message>
        <source>Eigenschaft nicht gefunden</source>
        <translation>Property not found</translation>
    </message>
    <message>
        <source>Eigenschaft wird nicht unterstützt</source>
        <translation>Property not supported</translation>
    </message>
</context>
<context>
    <name>korvane::ImgSearchDialog</name>
    <message>
        <source>Grafikdateien mit zugeordneten ImageMaps</source>
        <translation>Picture files with image maps</translation>
    </message>
    <message>
        <source>In der ausgewählten HTML-Datei befinden sich folgende Grafikdateien mit zugeordneten ImageMaps. Bitte die Zeile mit der  gewünschten Grafikdatei auswählen:</source>
        <translation>The chosen HTML file holds these picture files with image maps. Please choose the line of the picture file you want:</translation>
    </message>
</context>
<context>
    <name>korvane::ImportCommands</name>
    <message>
        <source>keine Map heißt genau %1</source>
        <translation>no map is named exactly %1</translation>
    </message>
    <message>
        <source>usemap=%1 beginnt nicht mit &quot;#&quot;</source>
        <translation>usemap=%1 does not start with &quot;#&quot;</translation>
    </message>
    <message>
        <source>Ein Browser verbindet die Grafik mit keiner Map (%1). Übernommen wurden die Areale der Map %2.</source>
        <translation>A browser joins the picture to no map (%1). The areas of the map %2 were taken.</translation>
    </message>
    <message>
        <source>Sollen die schon eingezeichneten Areale erhalten bleiben?</source>
        <translation>Keep the areas drawn already?</translation>
    </message>
    <message>
        <source>MapDatei öffnen</source>
        <translation>Open map file</translation>
    </message>
    <message>
        <source>MapDateien (*.map) |*.map</source>
        <translation>Map files (*.map) |*.map</translation>
    </message>
    <message>
        <source>In der Datei &quot;%1&quot; wurden keine MAP-Daten gefunden</source>
        <translation>No map data were found in the file &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Die MAP-Daten beziehen sich auf die Datei </source>
        <translation>The map data refer to the file </translation>
    </message>
    <message>
        <source>HTML-Datei öffnen</source>
        <translation>Open HTML file</translation>
    </message>
    <message>
        <source>Html-Dateien (html, htm, php, asp) |*.html;*.htm;*.php;*.asp</source>
        <translation>HTML files (html, htm, php, asp) |*.html;*.htm;*.php;*.asp</translation>
    </message>
    <message>
        <source>In der ausgewählten Datei wurde keine ImageMap gefunden.</source>
        <translation>No image map was found in the chosen file.</translation>
    </message>
    <message>
        <source>Die MAP-Daten beziehen sich auf die Grafikdatei </source>
        <translation>The map data refer to the picture file </translation>
    </message>
    <message>
        <source>Es wurde keine ImageMap gefunden.</source>
        <translation>No image map was found.</translation>
    </message>
    <message>
        <source>Map wurde nicht gefunden!</source>
        <translation>Map not found!</translation>
    </message>
</context>
<context>
    <name>korvane::ImportProgress</name>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Die Datei wird gelesen ...</source>
        <translation>Reading the file ...</translation>
    </message>
    <message>
        <source>Die ImageMaps werden gesucht ...</source>
        <translation>Looking for the image maps ...</translation>
    </message>
    <message>
        <source>Die Areale werden gelesen ...</source>
        <translation>Reading the areas ...</translation>
    </message>
</context>
<context>
    <name>korvane::ImportSteps</name>
    <message>
        <source>. Bitte diese Grafikdatei öffnen.</source>
        <translation>. Please open this picture file.</translation>
    </message>
</context>
<context>
    <name>korvane::IniFile</name>
    <message>
        <source>Die Einstellungsdatei &quot;%1&quot; ließ sich nicht schreiben; die bisherige Datei ist unverändert geblieben.</source>
        <translation>The settings file &quot;%1&quot; could not be written; the file as it was is unchanged.</translation>
    </message>
</context>
<context>
    <name>korvane::JsonMap</name>
    <message>
        <source>Die Areale in Zeile %1 der Arealliste haben keine Form, die ein Browser anklickt; sie fehlen im JSON.</source>
        <translation>The areas in line %1 of the area list have no shape a browser clicks; they are left out of the JSON.</translation>
    </message>
    <message>
        <source>Der JSON-Text ist fehlerhaft: %1.</source>
        <translation>The JSON text is faulty: %1.</translation>
    </message>
    <message>
        <source>Die ImageMap stammt von einem neueren Korvane (Version %1 des JSON-Formats).</source>
        <translation>The image map comes from a newer Korvane (version %1 of the JSON form).</translation>
    </message>
</context>
<context>
    <name>korvane::ListCommands</name>
    <message>
        <source>Bitte zunächst ein Element in der Arealliste auswählen.</source>
        <translation>Please choose an entry in the area list first.</translation>
    </message>
    <message>
        <source>Möchten Sie jetzt wirklich alle eingezeichneten Areale löschen?</source>
        <translation>Do you really want to delete all areas drawn now?</translation>
    </message>
    <message>
        <source>Bitte zunächst ein Areal in der Arealliste auswählen.</source>
        <translation>Please choose an area in the area list first.</translation>
    </message>
    <message>
        <source>Soll dieser Eintag wirklich gelöscht werden?</source>
        <translation>Really delete this entry?</translation>
    </message>
</context>
<context>
    <name>korvane::Magnifier</name>
    <message>
        <source>Bildschirmaufnahme ist auf dieser Arbeitsoberfläche nicht möglich.</source>
        <translation>This desktop lets no program capture the screen.</translation>
    </message>
    <message>
        <source>Lupe</source>
        <translation>Magnifier</translation>
    </message>
    <message>
        <source>Lupe - nur Korvane-Fenster</source>
        <translation>Magnifier - Korvane windows only</translation>
    </message>
</context>
<context>
    <name>korvane::MainWindow</name>
    <message>
        <source>Bildbereich</source>
        <translation>Picture area</translation>
    </message>
    <message>
        <source>Bild senkrecht verschieben</source>
        <translation>Scroll the picture vertically</translation>
    </message>
    <message>
        <source>Bild waagerecht verschieben</source>
        <translation>Scroll the picture horizontally</translation>
    </message>
    <message>
        <source>HTML-Code der ImageMap</source>
        <translation>HTML code of the image map</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Grafikdatei auswählen.</source>
        <translation>Choose a picture file.</translation>
    </message>
    <message>
        <source>Speichert die MAP-Daten in einer Textdatei und erzeugt zusätzlich eine HTML-Testseite.</source>
        <translation>Saves the map data in a text file and writes an HTML test page beside it.</translation>
    </message>
    <message>
        <source>Importiert MAP-Daten aus einer bereits existierenden MAP-Datei.</source>
        <translation>Imports map data from an existing map file.</translation>
    </message>
    <message>
        <source>Importiert die MAP-Daten aus einer bereits existierenden Html-Datei.</source>
        <translation>Imports the map data from an existing HTML file.</translation>
    </message>
    <message>
        <source>Export der erzeugten MAP-Daten in eine existierende HTML-Datei.</source>
        <translation>Exports the map data into an existing HTML file.</translation>
    </message>
    <message>
        <source>Kopiert die eigentlichen MAP-Daten in die Zwischenablage</source>
        <translation>Copies the map data themselves to the clipboard</translation>
    </message>
    <message>
        <source>Öffnet eine &quot;Lupe&quot; :-)</source>
        <translation>Opens a &quot;magnifier&quot; :-)</translation>
    </message>
    <message>
        <source>Lupe</source>
        <translation>Magnifier</translation>
    </message>
    <message>
        <source>Polygon</source>
        <translation>Polygon</translation>
    </message>
    <message>
        <source>Rechteck</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <source>Kreis</source>
        <translation>Circle</translation>
    </message>
    <message>
        <source>EditMode</source>
        <translation>EditMode</translation>
    </message>
    <message>
        <source>Hilfetext</source>
        <translation>Help text</translation>
    </message>
    <message>
        <source>Zeichnet alle in der Arealliste aufgeführten Elemente neu.</source>
        <translation>Redraws every entry of the area list.</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Öffnet eine Hilfe Datei</source>
        <translation>Opens a help file</translation>
    </message>
    <message>
        <source>Arealliste:</source>
        <translation>Area list:</translation>
    </message>
    <message>
        <source>Arealliste</source>
        <translation>Area list</translation>
    </message>
    <message>
        <source>Click-&gt;Auswahl eines Elements, DoppelClick oder Drag&amp;Drop auf das Papiekorbsymbol löscht ein Element.</source>
        <translation>Click-&gt;choose an entry; a double click or drag and drop onto the waste-paper basket deletes an entry.</translation>
    </message>
    <message>
        <source>Erzeugt eine Kopie des ausgewählten Areals.</source>
        <translation>Makes a copy of the chosen area.</translation>
    </message>
    <message>
        <source>clear</source>
        <translation>clear</translation>
    </message>
    <message>
        <source>Alle eingezeichneten Areale löschen.</source>
        <translation>Delete every area drawn.</translation>
    </message>
    <message>
        <source>edit</source>
        <translation>edit</translation>
    </message>
    <message>
        <source>Öffnet den Eigenschafteninspektor</source>
        <translation>Opens the attribute editor</translation>
    </message>
    <message>
        <source>Papierkorb</source>
        <translation>Waste-paper basket</translation>
    </message>
    <message>
        <source>Papierkorb. Zum löschen eines Areals den ausgewählten Eintrag auf den Papierkorb ziehen.</source>
        <translation>Waste-paper basket. To delete an area, drag its chosen entry onto the basket.</translation>
    </message>
    <message>
        <source>Liniendicke</source>
        <translation>Line width</translation>
    </message>
    <message>
        <source>Liniendicke %1 Pixel</source>
        <translation>Line width %1 pixels</translation>
    </message>
    <message>
        <source>Areale gefült zeichnen</source>
        <translation>Draw areas filled</translation>
    </message>
    <message>
        <source>Mausposition</source>
        <translation>Pointer position</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Modus</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Farben wählen</source>
        <translation>Choose colours</translation>
    </message>
    <message>
        <source>Zeichenfarbe</source>
        <translation>Pen colour</translation>
    </message>
    <message>
        <source>Füllfarbe</source>
        <translation>Fill colour</translation>
    </message>
    <message>
        <source>Ziehpunkte</source>
        <translation>Handles</translation>
    </message>
    <message>
        <source>Farbe der Ziehpunkte</source>
        <translation>Colour of the handles</translation>
    </message>
    <message>
        <source>Der HTML-Code der erzeugten ImageMap wurde noch nicht gespeichert. Soll der Code jetzt gespeichert werden?</source>
        <translation>The HTML code of the image map has not been saved yet. Save the code now?</translation>
    </message>
    <message>
        <source>Bitte zunächst ein Areal einzeichnen!</source>
        <translation>Please draw an area first!</translation>
    </message>
    <message>
        <source>Bitte zunächst in der Arealliste ein Element auswählen!</source>
        <translation>Please choose an entry in the area list first!</translation>
    </message>
    <message>
        <source>Zeichnen von Polygonen: Linker MausClick Zeichnet die Polygonpunkte und erzeugt die Verbindungslinie. Zuletzt schliesst ein rechter MausClick das Polygon (der letzte Punkt wird mit dem ersten verbunden).</source>
        <translation>Drawing polygons: a left click draws each point of the polygon and the line to it. At the end a right click closes the polygon (the last point is joined to the first).</translation>
    </message>
    <message>
        <source>Zeichnen von Rechtecken: Linker MausClick setzt den Startpunkt. Dann mit gedrückter Maustaste das Rechteck aufziehen.</source>
        <translation>Drawing rectangles: a left click sets the starting point. Then drag the rectangle open with the button held down.</translation>
    </message>
    <message>
        <source>Zeichnen von Kreisen: Linker MausClick setzt den Startpunkt. Dann mit gedrückter Maustaste den Kreis in x-Richtung aufziehen.</source>
        <translation>Drawing circles: a left click sets the starting point. Then drag the circle open along x with the button held down.</translation>
    </message>
    <message>
        <source>Zunächst ein Element in der Arealliste selektieren. Verschieben des grünen Ankerpunktes bewegt das gesamte Objekt. Mit den Ziehpunkten ändert man die Grösse der Objekte. Rechter MausClick fügt einem Polygon weitere Ziehpunkte hinzu.</source>
        <translation>First choose an entry in the area list. Dragging the green anchor moves the whole shape. The handles change its size. A right click adds more points to a polygon.</translation>
    </message>
    <message>
        <source>Edit-Modus</source>
        <translation>Edit mode</translation>
    </message>
    <message>
        <source>Zeichen-Modus</source>
        <translation>Drawing mode</translation>
    </message>
    <message>
        <source>Korvane [ Map für: %1 ]</source>
        <translation>Korvane [ map for: %1 ]</translation>
    </message>
    <message>
        <source>Punkt entfernen</source>
        <translation>Remove point</translation>
    </message>
</context>
<context>
    <name>korvane::MapCheck</name>
    <message>
        <source>Ein Rechteck braucht vier Koordinaten, es hat %1.</source>
        <translation>A rectangle needs four coordinates; it has %1.</translation>
    </message>
    <message>
        <source>Das Rechteck %1 hat keine Breite oder keine Höhe.</source>
        <translation>The rectangle %1 has no width or no height.</translation>
    </message>
    <message>
        <source>Ein Kreis braucht drei Koordinaten, er hat %1.</source>
        <translation>A circle needs three coordinates; it has %1.</translation>
    </message>
    <message>
        <source>Der Kreis %1 hat keinen Radius.</source>
        <translation>The circle %1 has no radius.</translation>
    </message>
    <message>
        <source>Das Polygon %1 hat weniger als drei Punkte.</source>
        <translation>The polygon %1 has fewer than three points.</translation>
    </message>
    <message>
        <source>Das Polygon %1 umschließt keine Fläche.</source>
        <translation>The polygon %1 encloses no area.</translation>
    </message>
    <message>
        <source>Das Areal liegt ganz außerhalb des Bildes (%1 × %2 Pixel).</source>
        <translation>The area lies wholly outside the picture (%1 × %2 pixels).</translation>
    </message>
    <message>
        <source>Das Areal ragt über den Rand des Bildes (%1 × %2 Pixel) hinaus.</source>
        <translation>The area reaches beyond the edge of the picture (%1 × %2 pixels).</translation>
    </message>
    <message>
        <source>Das Areal hat einen Verweis, aber keinen Alternativtext.</source>
        <translation>The area has a link but no alternative text.</translation>
    </message>
    <message>
        <source>Der Alternativtext %1 ist der Verweis selbst; er sollte sagen, wohin der Verweis führt.</source>
        <translation>The alternative text %1 is the link itself; it should say where the link leads.</translation>
    </message>
    <message>
        <source>Der Alternativtext %1 ist ein Dateiname; er sollte sagen, wohin der Verweis führt.</source>
        <translation>The alternative text %1 is a file name; it should say where the link leads.</translation>
    </message>
    <message>
        <source>Der Alternativtext %1 steht auch in Zeile %2, deren Verweis woanders hinführt.</source>
        <translation>The alternative text %1 is also that of line %2, whose link leads elsewhere.</translation>
    </message>
    <message>
        <source>Es kann nie angeklickt werden.</source>
        <translation>It can never be clicked.</translation>
    </message>
    <message>
        <source>Frühere Areale verdecken das Areal ganz; ein Browser nimmt dort immer das erste, so kann es nie angeklickt werden.</source>
        <translation>Earlier areas cover the area wholly; a browser always takes the first there, so it can never be clicked.</translation>
    </message>
    <message>
        <source>Das Areal ist bei einer Anzeigebreite von %4 Pixeln nur %1 × %2 Pixel groß, kleiner als %3 × %3.</source>
        <translation>At a display width of %4 pixels the area is only %1 × %2 pixels, smaller than %3 × %3.</translation>
    </message>
    <message>
        <source>Das Areal ist nur %1 × %2 Pixel groß, kleiner als %3 × %3.</source>
        <translation>The area is only %1 × %2 pixels, smaller than %3 × %3.</translation>
    </message>
    <message>
        <source>die Zahlen werden nur durch Kommas getrennt, ohne Leerzeichen</source>
        <translation>the numbers are separated by commas only, without blanks</translation>
    </message>
    <message>
        <source>&quot;%1&quot; ist keine ganze Zahl</source>
        <translation>&quot;%1&quot; is not an integer</translation>
    </message>
    <message>
        <source>Die Koordinaten &quot;%1&quot; sind kein gültiges HTML: %2.</source>
        <translation>The coordinates &quot;%1&quot; are not valid HTML: %2.</translation>
    </message>
    <message>
        <source>Die Form &quot;%1&quot; ist kein gültiges HTML; gültig sind rect, circle, poly und default.</source>
        <translation>The shape &quot;%1&quot; is not valid HTML; valid are rect, circle, poly and default.</translation>
    </message>
    <message>
        <source>Ein Standardareal hat keine Koordinaten; das Attribut coords ist dort nicht erlaubt.</source>
        <translation>A default area has no coordinates; the attribute coords is not allowed there.</translation>
    </message>
    <message>
        <source>Dem Areal fehlen die Koordinaten.</source>
        <translation>The area has no coordinates.</translation>
    </message>
    <message>
        <source>ein Rechteck braucht vier durch Kommas getrennte ganze Zahlen</source>
        <translation>a rectangle needs four integers separated by commas</translation>
    </message>
    <message>
        <source>die linke obere Ecke muss vor der rechten unteren stehen</source>
        <translation>the top left corner must come before the bottom right one</translation>
    </message>
    <message>
        <source>ein Kreis braucht drei durch Kommas getrennte ganze Zahlen</source>
        <translation>a circle needs three integers separated by commas</translation>
    </message>
    <message>
        <source>ein Polygon braucht eine gerade Zahl, mindestens sechs, durch Kommas getrennte ganze Zahlen</source>
        <translation>a polygon needs an even number, at least six, of integers separated by commas</translation>
    </message>
    <message>
        <source>Das Areal hat keinen Verweis (href), aber das Attribut %1; ohne Verweis sind sie nicht erlaubt.</source>
        <translation>The area has no link (href), but the attribute %1; without a link it is not allowed.</translation>
    </message>
    <message>
        <source>Das Areal hat keinen Verweis (href), aber die Attribute %1; ohne Verweis sind sie nicht erlaubt.</source>
        <translation>The area has no link (href), but the attributes %1; without a link they are not allowed.</translation>
    </message>
    <message>
        <source>Das Standardareal hat keinen Verweis; es führt nirgendwohin und kann entfallen.</source>
        <translation>The default area has no link; it leads nowhere and can go.</translation>
    </message>
</context>
<context>
    <name>korvane::MapCheckWindow</name>
    <message>
        <source>Fehler</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Warnung</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Keine Befunde.</source>
        <translation>No findings.</translation>
    </message>
    <message numerus="yes">
        <source>%n Fehler</source>
        <translation>
            <numerusform>%n error</numerusform>
            <numerusform>%n errors</numerusform>
        </translation>
    </message>
    <message>
        <source>1 Warnung</source>
        <translation>1 warning</translation>
    </message>
    <message numerus="yes">
        <source>%n Warnungen</source>
        <translation>
            <numerusform>%n warning</numerusform>
            <numerusform>%n warnings</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Map prüfen</source>
        <translation>Check map</translation>
    </message>
    <message>
        <source>Zeile</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Art</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>Regel</source>
        <translation>Rule</translation>
    </message>
    <message>
        <source>Meldung</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>Bildbreite</source>
        <translation>Picture width</translation>
    </message>
    <message>
        <source> Pixel</source>
        <translation> pixels</translation>
    </message>
    <message>
        <source>Die Breite, in der die Seite das Bild zeigt: danach richtet sich die Mindestgröße der Areale.</source>
        <translation>The width at which the page shows the picture: the least size of the areas is measured at it.</translation>
    </message>
    <message>
        <source>Anzeigebreite:</source>
        <translation>Display width:</translation>
    </message>
    <message>
        <source>Map prüfen...</source>
        <translation>Check map...</translation>
    </message>
</context>
<context>
    <name>korvane::MapDocument</name>
    <message>
        <source>Rechteck zeichnen</source>
        <translation>Draw rectangle</translation>
    </message>
    <message>
        <source>Kreis zeichnen</source>
        <translation>Draw circle</translation>
    </message>
    <message>
        <source>Polygon zeichnen</source>
        <translation>Draw polygon</translation>
    </message>
    <message>
        <source>Areal kopieren</source>
        <translation>Copy area</translation>
    </message>
    <message>
        <source>Areal löschen</source>
        <translation>Delete area</translation>
    </message>
    <message>
        <source>Alle Areale löschen</source>
        <translation>Delete all areas</translation>
    </message>
    <message>
        <source>Attribute ändern</source>
        <translation>Change attributes</translation>
    </message>
    <message>
        <source>Areal verschieben</source>
        <translation>Move area</translation>
    </message>
    <message>
        <source>Form ändern</source>
        <translation>Change shape</translation>
    </message>
    <message>
        <source>Punkt hinzufügen</source>
        <translation>Add point</translation>
    </message>
    <message>
        <source>Reihenfolge ändern</source>
        <translation>Change order</translation>
    </message>
    <message>
        <source>Areale umrechnen</source>
        <translation>Scale areas</translation>
    </message>
</context>
<context>
    <name>korvane::MenuBar</name>
    <message>
        <source>&amp;Datei</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>Bild &amp;öffnen...</source>
        <translation>&amp;Open picture...</translation>
    </message>
    <message>
        <source>&amp;MAP-Datei importieren...</source>
        <translation>Import &amp;map file...</translation>
    </message>
    <message>
        <source>&amp;HTML-Seite importieren...</source>
        <translation>Import &amp;HTML page...</translation>
    </message>
    <message>
        <source>&amp;Zuletzt geöffnet</source>
        <translation>Open &amp;recent</translation>
    </message>
    <message>
        <source>&amp;Speichern...</source>
        <translation>&amp;Save...</translation>
    </message>
    <message>
        <source>In HTML-Seite &amp;exportieren...</source>
        <translation>&amp;Export into HTML page...</translation>
    </message>
    <message>
        <source>&amp;Beenden</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>&amp;Bearbeiten</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Ausschneiden</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>&amp;Kopieren</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>&amp;Einfügen</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>&amp;Löschen</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>Alles aus&amp;wählen</source>
        <translation>Select &amp;all</translation>
    </message>
    <message>
        <source>E&amp;igenschaften...</source>
        <translation>P&amp;roperties...</translation>
    </message>
    <message>
        <source>Areal &amp;duplizieren</source>
        <translation>D&amp;uplicate area</translation>
    </message>
    <message>
        <source>Alle Areale lö&amp;schen</source>
        <translation>Delete all a&amp;reas</translation>
    </message>
    <message>
        <source>&amp;Reihenfolge</source>
        <translation>&amp;Order</translation>
    </message>
    <message>
        <source>&amp;Ansicht</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>Ver&amp;größern</source>
        <translation>Zoom &amp;in</translation>
    </message>
    <message>
        <source>Ver&amp;kleinern</source>
        <translation>Zoom &amp;out</translation>
    </message>
    <message>
        <source>&amp;Originalgröße (100 %)</source>
        <translation>&amp;Actual size (100 %)</translation>
    </message>
    <message>
        <source>In Fenster &amp;einpassen</source>
        <translation>&amp;Fit to window</translation>
    </message>
    <message>
        <source>&amp;Lupe</source>
        <translation>&amp;Magnifier</translation>
    </message>
    <message>
        <source>&amp;Neu zeichnen</source>
        <translation>&amp;Redraw</translation>
    </message>
    <message>
        <source>&amp;Werkzeuge</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>&amp;Polygon</source>
        <translation>&amp;Polygon</translation>
    </message>
    <message>
        <source>&amp;Rechteck</source>
        <translation>&amp;Rectangle</translation>
    </message>
    <message>
        <source>&amp;Kreis</source>
        <translation>&amp;Circle</translation>
    </message>
    <message>
        <source>Areale &amp;bearbeiten (EditMode)</source>
        <translation>&amp;Edit areas (EditMode)</translation>
    </message>
    <message>
        <source>&amp;Map</source>
        <translation>&amp;Map</translation>
    </message>
    <message>
        <source>&amp;Code kopieren</source>
        <translation>&amp;Copy code</translation>
    </message>
    <message>
        <source>&amp;Hilfe</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;Tastenkürzel</source>
        <translation>&amp;Keyboard shortcuts</translation>
    </message>
    <message>
        <source>Ü&amp;ber Korvane</source>
        <translation>&amp;About Korvane</translation>
    </message>
    <message>
        <source>Tastenkürzel</source>
        <translation>Keyboard shortcuts</translation>
    </message>
    <message>
        <source>Pfeiltasten (Umschalt: zehn Pixel)</source>
        <translation>Arrow keys (Shift: ten pixels)</translation>
    </message>
    <message>
        <source>Bild, Edit-Modus: ausgewählte Areale verschieben</source>
        <translation>Picture, edit mode: move the chosen areas</translation>
    </message>
    <message>
        <source>Tab, Umschalt+Tab</source>
        <translation>Tab, Shift+Tab</translation>
    </message>
    <message>
        <source>Bild, Edit-Modus: nächstes und voriges Areal wählen</source>
        <translation>Picture, edit mode: choose the next and previous area</translation>
    </message>
    <message>
        <source>Bild auf, Bild ab, Pos1, Ende</source>
        <translation>Page Up, Page Down, Home, End</translation>
    </message>
    <message>
        <source>Bild, Edit-Modus: Reihenfolge der Areale</source>
        <translation>Picture, edit mode: order of the areas</translation>
    </message>
    <message>
        <source>Alt gedrückt</source>
        <translation>Alt held</translation>
    </message>
    <message>
        <source>Bild: Einrasten aussetzen</source>
        <translation>Picture: suspend snapping</translation>
    </message>
    <message>
        <source>Strg+Mausrad</source>
        <translation>Ctrl+mouse wheel</translation>
    </message>
    <message>
        <source>Bild: um den Mauszeiger vergrößern und verkleinern</source>
        <translation>Picture: zoom in and out around the pointer</translation>
    </message>
    <message>
        <source>Strg+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>Code: ein Tabulatorzeichen schreiben</source>
        <translation>Code: type a tab character</translation>
    </message>
    <message>
        <source>Tasten</source>
        <translation>Keys</translation>
    </message>
    <message>
        <source>Befehl</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>Korvane %1.%2

Ein Editor für HTML-Imagemaps: Areale auf einem Bild zeichnen, mit Verweisen versehen und als Map-Code mitnehmen.

Qt %3</source>
        <translation>Korvane %1.%2

An editor for HTML image maps: draw areas on a picture, give them links and take them along as map code.

Qt %3</translation>
    </message>
    <message>
        <source>Über Korvane</source>
        <translation>About Korvane</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>+, -</source>
        <translation>+, -</translation>
    </message>
    <message>
        <source>Bild, Umriss: Toleranz erhöhen und verringern</source>
        <translation>Picture, Outline: raise and lower the tolerance</translation>
    </message>
    <message>
        <source>Umschalt+Mausrad</source>
        <translation>Shift+mouse wheel</translation>
    </message>
    <message>
        <source>Bild, Umriss: Toleranz ändern</source>
        <translation>Picture, Outline: change the tolerance</translation>
    </message>
</context>
<context>
    <name>korvane::OpenFromOutside</name>
    <message>
        <source>Der Name der Datei %1 lässt sich nicht lesen: Er ist kein gültiger UTF-8-Text. Bitte die Datei umbenennen.</source>
        <translation>The name of the file %1 cannot be read: it is no valid UTF-8 text. Please rename the file.</translation>
    </message>
    <message>
        <source>Die Datei %1 ist nicht vorhanden.</source>
        <translation>The file %1 does not exist.</translation>
    </message>
    <message>
        <source>%1 ist ein Ordner und keine Datei.</source>
        <translation>%1 is a folder, not a file.</translation>
    </message>
    <message>
        <source>Die Datei %1 kann nicht gelesen werden.</source>
        <translation>The file %1 cannot be read.</translation>
    </message>
    <message>
        <source>Es kann nur eine Datei auf einmal geöffnet werden. Geöffnet wird %1.</source>
        <translation>Only one file can be opened at a time. %1 is opened.</translation>
    </message>
    <message>
        <source>Die Datei %1 ist weder eine Grafikdatei noch eine MAP- oder HTML-Datei.</source>
        <translation>The file %1 is neither a picture file nor a map or HTML file.</translation>
    </message>
</context>
<context>
    <name>korvane::OutlineTracer</name>
    <message>
        <source>Die Fläche bei %1 ist zu klein für ein Areal (%2 Pixel, mindestens %3). Eine höhere Toleranz nimmt ähnliche Farben hinzu.</source>
        <translation>The region at %1 is too small for an area (%2 pixels, at least %3). A higher tolerance takes in similar colours.</translation>
    </message>
    <message>
        <source>Die Fläche bei %1 ist zu schmal für ein Areal: ihr Umriss umschließt nichts. Eine höhere Toleranz nimmt ähnliche Farben hinzu.</source>
        <translation>The region at %1 is too narrow for an area: its outline encloses nothing. A higher tolerance takes in similar colours.</translation>
    </message>
    <message>
        <source>Die Fläche bei %1 nimmt das ganze Bild ein und ergibt kein Areal. Eine geringere Toleranz grenzt sie enger ab.</source>
        <translation>The region at %1 takes up the whole picture and makes no area. A lower tolerance bounds it more closely.</translation>
    </message>
    <message>
        <source>Keine Fläche in der Farbe bei %1 ergibt ein Areal: jede ist zu klein oder nimmt das ganze Bild ein.</source>
        <translation>No region of the colour at %1 makes an area: each is too small or takes up the whole picture.</translation>
    </message>
    <message>
        <source>Es ist kein Bild geöffnet, dessen Flächen nachgezeichnet werden könnten.</source>
        <translation>No picture is open whose regions could be traced.</translation>
    </message>
    <message>
        <source>Für das Nachzeichnen dieses Bildes reicht der Arbeitsspeicher nicht.</source>
        <translation>There is not enough memory to trace this picture.</translation>
    </message>
    <message>
        <source>Der Punkt %1 liegt außerhalb des Bildes.</source>
        <translation>The point %1 lies outside the picture.</translation>
    </message>
    <message>
        <source>Der Umriss dieser Fläche konnte nicht nachgezeichnet werden.</source>
        <translation>The outline of this region could not be traced.</translation>
    </message>
</context>
<context>
    <name>korvane::PageCheck</name>
    <message>
        <source>Der usemap-Wert %1 nennt nach einem &quot;#&quot; keinen Namen; ein Browser verbindet die Grafik mit keiner Map.</source>
        <translation>The usemap value %1 names no name after a &quot;#&quot;; a browser joins the picture to no map.</translation>
    </message>
    <message>
        <source>Die Grafik nennt die Map %1, aber keine Map der Seite trägt diesen Namen.</source>
        <translation>The picture names the map %1, but no map of the page bears this name.</translation>
    </message>
    <message>
        <source>Die Map %1 unterscheidet sich nur in der Groß- und Kleinschreibung; ein Browser nimmt sie nicht.</source>
        <translation>The map %1 differs in letter case only; a browser does not take it.</translation>
    </message>
    <message>
        <source>Eine Map mit dem Namen %1 steht schon in Zeile %2; welche eine Grafik bekommt, hängt vom Browser ab.</source>
        <translation>A map named %1 is in line %2 already; which one a picture gets depends on the browser.</translation>
    </message>
    <message>
        <source>Die Datei %1 kann nicht gelesen werden.</source>
        <translation>The file %1 cannot be read.</translation>
    </message>
    <message>
        <source>In der Datei %1 wurde keine ImageMap gefunden.</source>
        <translation>No image map was found in the file %1.</translation>
    </message>
    <message>
        <source>Die Datei %1 lässt sich nicht prüfen: %2</source>
        <translation>The file %1 cannot be checked: %2</translation>
    </message>
</context>
<context>
    <name>korvane::PageRules</name>
    <message>
        <source>Ein leeres target ist kein gültiges HTML; ohne target öffnet sich der Verweis im selben Fenster.</source>
        <translation>An empty target is not valid HTML; without a target the link opens in the same window.</translation>
    </message>
    <message>
        <source>Die Map hat keinen Namen (name).</source>
        <translation>The map has no name (name).</translation>
    </message>
    <message>
        <source>Der Name der Map ist leer.</source>
        <translation>The name of the map is empty.</translation>
    </message>
    <message>
        <source>Der Name der Map &quot;%1&quot; enthält Leerraum.</source>
        <translation>The name of the map &quot;%1&quot; contains white space.</translation>
    </message>
    <message>
        <source>Die Map heißt %1, ihre id ist aber %2; beide müssen gleich sein.</source>
        <translation>The map is named %1, but its id is %2; both must be the same.</translation>
    </message>
    <message>
        <source>Die Map %1 gehört schon zur Grafik in Zeile %2; mit der Tastatur erreicht man ihre Areale nur einmal, dort, wo die Map steht.</source>
        <translation>The map %1 belongs to the picture in line %2 already; the keyboard reaches its areas only once, where the map stands.</translation>
    </message>
</context>
<context>
    <name>korvane::Paths</name>
    <message>
        <source>korvane-hilfe.html</source>
        <translation>korvane-help.html</translation>
    </message>
</context>
<context>
    <name>korvane::Platform</name>
    <message>
        <source>Korvane Kontrollabfrage</source>
        <translation>Korvane question</translation>
    </message>
    <message>
        <source>Korvane - Kontrollabfrage</source>
        <translation>Korvane - question</translation>
    </message>
</context>
<context>
    <name>korvane::PolygonPoints</name>
    <message>
        <source>Punkt entfernen</source>
        <translation>Remove point</translation>
    </message>
    <message>
        <source>Punkt einfügen</source>
        <translation>Insert point</translation>
    </message>
</context>
<context>
    <name>korvane::RecentFiles</name>
    <message>
        <source>Die Datei &quot;%1&quot; gibt es nicht mehr. Soll sie aus der Liste der zuletzt geöffneten Dateien entfernt werden?</source>
        <translation>The file &quot;%1&quot; is gone. Remove it from the list of recently opened files?</translation>
    </message>
    <message>
        <source>Keine zuletzt geöffneten Dateien</source>
        <translation>No recently opened files</translation>
    </message>
    <message>
        <source>Liste leeren</source>
        <translation>Clear list</translation>
    </message>
</context>
<context>
    <name>korvane::RecoveryKeeper</name>
    <message>
        <source>am %1 um %2 Uhr</source>
        <translation>on %1 at %2</translation>
    </message>
    <message>
        <source>ungespeicherten HTML-Code</source>
        <translation>unsaved HTML code</translation>
    </message>
    <message>
        <source>ungespeicherte Areale</source>
        <translation>unsaved areas</translation>
    </message>
    <message>
        <source>Es gibt %1</source>
        <translation>There are %1</translation>
    </message>
    <message>
        <source>Zur Grafikdatei &quot;%1&quot; gibt es %2</source>
        <translation>For the picture file &quot;%1&quot; there are %2</translation>
    </message>
    <message>
        <source>Korvane wurde nicht ordnungsgemäß beendet. %1, zuletzt geändert %2. Soll dieser Code jetzt wiederhergestellt werden?</source>
        <translation>Korvane did not end properly. %1, last changed %2. Restore this code now?</translation>
    </message>
    <message>
        <source>Korvane wurde nicht ordnungsgemäß beendet. %1, zuletzt geändert %2. Sollen diese Areale jetzt wiederhergestellt werden?</source>
        <translation>Korvane did not end properly. %1, last changed %2. Restore these areas now?</translation>
    </message>
    <message>
        <source>ist keine gewöhnliche Datei</source>
        <translation>is no regular file</translation>
    </message>
    <message>
        <source>ist mit %1 größer als jede Map, die Korvane sichert (höchstens %2)</source>
        <translation>is, at %1, bigger than any map Korvane keeps (at most %2)</translation>
    </message>
    <message>
        <source>Sie wurde unter &quot;%1&quot; beiseitegelegt und bleibt dort erhalten.</source>
        <translation>It was put aside as &quot;%1&quot; and is kept there.</translation>
    </message>
    <message>
        <source>Sie ließ sich nicht beiseitelegen und wird beim nächsten Start wieder gemeldet.</source>
        <translation>It could not be put aside and is reported again at the next start.</translation>
    </message>
    <message>
        <source>Die Wiederherstellungsdatei &quot;%1&quot; %2; sie wird nicht gelesen.</source>
        <translation>The recovery file &quot;%1&quot; %2; it is not read.</translation>
    </message>
    <message>
        <source>%1 kein Ordner ist</source>
        <translation>%1 is no folder</translation>
    </message>
    <message>
        <source>der Ordner %1 einem anderen Benutzer gehört</source>
        <translation>the folder %1 belongs to another user</translation>
    </message>
    <message>
        <source>der Ordner %1 schreibgeschützt ist</source>
        <translation>the folder %1 is read-only</translation>
    </message>
    <message>
        <source>der Datenträger voll ist</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>die Map größer als %1 ist</source>
        <translation>the map is bigger than %1</translation>
    </message>
    <message>
        <source>das System es nicht zulässt</source>
        <translation>the system does not allow it</translation>
    </message>
    <message>
        <source>Die Wiederherstellungsdatei &quot;%1&quot; kann nicht geschrieben werden, weil %2. Ungespeicherte Änderungen sind deshalb nicht vor einem Absturz geschützt; bitte die Map speichern.</source>
        <translation>The recovery file &quot;%1&quot; cannot be written because %2. Unsaved changes are therefore not safe from a crash; please save the map.</translation>
    </message>
    <message>
        <source>ist unvollständig</source>
        <translation>is incomplete</translation>
    </message>
    <message>
        <source>stammt von einer neueren Version von Korvane</source>
        <translation>comes from a newer version of Korvane</translation>
    </message>
    <message>
        <source>konnte nicht gelesen werden</source>
        <translation>could not be read</translation>
    </message>
    <message>
        <source>Die Datei wurde unter &quot;%1&quot; beiseitegelegt und wird beim nächsten Start gelöscht.</source>
        <translation>The file was put aside as &quot;%1&quot; and is deleted at the next start.</translation>
    </message>
    <message>
        <source>Die Datei ließ sich nicht beiseitelegen und wird beim nächsten Start wieder gemeldet.</source>
        <translation>The file could not be put aside and is reported again at the next start.</translation>
    </message>
    <message>
        <source>Die Wiederherstellungsdatei &quot;%1&quot; %2; die Areale darin lassen sich nicht wiederherstellen.</source>
        <translation>The recovery file &quot;%1&quot; %2; the areas in it cannot be restored.</translation>
    </message>
</context>
<context>
    <name>korvane::RecoveryStart</name>
    <message>
        <source>Die MAP-Daten beziehen sich auf die Datei </source>
        <translation>The map data refer to the file </translation>
    </message>
</context>
<context>
    <name>korvane::ResponsiveCommands</name>
    <message>
        <source>Die responsive Seite konnte nicht gespeichert werden: Die Datei &quot;%1&quot; ließ sich nicht schreiben.</source>
        <translation>The responsive page could not be saved: the file &quot;%1&quot; could not be written.</translation>
    </message>
    <message>
        <source>Eine bereits vorhandene Datei dieses Namens ist unverändert geblieben.</source>
        <translation>A file of this name that was there already is unchanged.</translation>
    </message>
    <message>
        <source>Die responsive Seite wurde unter &quot;%1&quot; gespeichert.</source>
        <translation>The responsive page was saved as &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Soll sie jetzt zur Kontrolle mit dem StandardBrowser angezeigt werden?</source>
        <translation>Show it in the standard browser now, to check it?</translation>
    </message>
    <message>
        <source>Responsive Seite speichern unter...</source>
        <translation>Save responsive page as...</translation>
    </message>
    <message>
        <source>HTML-Datei (*.html)|*.html</source>
        <translation>HTML file (*.html)|*.html</translation>
    </message>
</context>
<context>
    <name>korvane::ScaleOffer</name>
    <message>
        <source>Die Seite zeigt das Bild mit %1 Pixeln, das Bild selbst ist %2 Pixel groß. Sollen die eingelesenen Areale auf die Größe des Bildes umgerechnet werden?</source>
        <translation>The page shows the picture at %1 pixels; the picture itself is %2 pixels. Scale the areas read to the size of the picture?</translation>
    </message>
</context>
<context>
    <name>korvane::SeveralAreas</name>
    <message>
        <source>Ausrichten</source>
        <translation>Align</translation>
    </message>
    <message>
        <source>Areale ausrichten</source>
        <translation>Align areas</translation>
    </message>
    <message>
        <source>Areale verschieben</source>
        <translation>Move areas</translation>
    </message>
    <message>
        <source>Sollen die %1 ausgewählten Areale wirklich gelöscht werden?</source>
        <translation>Really delete the %1 chosen areas?</translation>
    </message>
    <message>
        <source>Areale löschen</source>
        <translation>Delete areas</translation>
    </message>
    <message>
        <source>Areale kopieren</source>
        <translation>Copy areas</translation>
    </message>
</context>
<context>
    <name>korvane::Snapping</name>
    <message>
        <source>Einrasten</source>
        <translation>Snapping</translation>
    </message>
    <message>
        <source>Rastergröße...</source>
        <translation>Grid size...</translation>
    </message>
    <message>
        <source>Rastergröße</source>
        <translation>Grid size</translation>
    </message>
    <message>
        <source>Rastergröße in Bildpunkten (%1 bis %2):</source>
        <translation>Grid size in pixels (%1 to %2):</translation>
    </message>
</context>
<context>
    <name>korvane::StackingOrder</name>
    <message>
        <source>Nach vorne</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Nach hinten</source>
        <translation>Backward</translation>
    </message>
    <message>
        <source>Ganz nach vorne</source>
        <translation>To the front</translation>
    </message>
    <message>
        <source>Ganz nach hinten</source>
        <translation>To the back</translation>
    </message>
</context>
<context>
    <name>korvane::StatusLine</name>
    <message>
        <source>x %1, y %2</source>
        <translation>x %1, y %2</translation>
    </message>
    <message>
        <source>Rechteck: x %1, y %2, %3 × %4</source>
        <translation>Rectangle: x %1, y %2, %3 × %4</translation>
    </message>
    <message>
        <source>Kreis: Mitte x %1, y %2, Radius %3</source>
        <translation>Circle: centre x %1, y %2, radius %3</translation>
    </message>
    <message>
        <source>Polygon: %1 Punkte, x %2, y %3, %4 × %5</source>
        <translation>Polygon: %1 points, x %2, y %3, %4 × %5</translation>
    </message>
    <message>
        <source>%1: keine gültige Form</source>
        <translation>%1: no valid shape</translation>
    </message>
    <message>
        <source>%1 Areale ausgewählt</source>
        <translation>%1 areas chosen</translation>
    </message>
    <message>
        <source>Keine Areale</source>
        <translation>No areas</translation>
    </message>
    <message>
        <source>1 Areal</source>
        <translation>1 area</translation>
    </message>
    <message>
        <source>%1 Areale</source>
        <translation>%1 areas</translation>
    </message>
    <message>
        <source>Zoom %1</source>
        <translation>Zoom %1</translation>
    </message>
    <message>
        <source>Zuerst ein Bild öffnen: Datei &gt; Bild öffnen... (Strg+O).</source>
        <translation>Open a picture first: File &gt; Open picture... (Ctrl+O).</translation>
    </message>
    <message>
        <source>Areal anklicken und ziehen; die Ziehpunkte ändern seine Form, Strg+Klick wählt mehrere.</source>
        <translation>Click an area and drag it; the handles change its shape, Ctrl+click chooses several.</translation>
    </message>
    <message>
        <source>Polygon: Punkte nacheinander anklicken, ein Rechtsklick schließt es.</source>
        <translation>Polygon: click the points one after the other; a right click closes it.</translation>
    </message>
    <message>
        <source>Rechteck: mit gedrückter Maustaste von Ecke zu Ecke ziehen.</source>
        <translation>Rectangle: drag from corner to corner with the button held down.</translation>
    </message>
    <message>
        <source>Kreis: von der Mitte aus mit gedrückter Maustaste nach rechts ziehen.</source>
        <translation>Circle: drag from the centre to the right with the button held down.</translation>
    </message>
    <message>
        <source>Areale bearbeiten: zuerst ein Areal in der Arealliste wählen.</source>
        <translation>Editing areas: choose an area in the area list first.</translation>
    </message>
    <message>
        <source>Umriss: in eine Fläche klicken, ihr Umriss wird ein Polygon; + und - ändern die Toleranz.</source>
        <translation>Outline: click into a region, its outline becomes a polygon; + and - change the tolerance.</translation>
    </message>
</context>
<context>
    <name>korvane::TraceControls</name>
    <message>
        <source>Umrisse nachzeichnen</source>
        <translation>Trace outlines</translation>
    </message>
    <message>
        <source>&amp;Umriss</source>
        <translation>&amp;Outline</translation>
    </message>
    <message>
        <source>Umriss: ein Klick in eine Fläche des Bildes macht ihren Umriss zum Polygon</source>
        <translation>Outline: a click into a region of the picture makes its outline a polygon</translation>
    </message>
    <message>
        <source>Umriss: Ein Klick in eine Fläche des Bildes macht ihren Umriss zu einem Polygon. Die Toleranz (Tasten + und -, Umschalt+Mausrad, Kontextmenü) bestimmt, wie weit die Farben der Fläche von der angeklickten abweichen dürfen.</source>
        <translation>Outline: a click into a region of the picture makes its outline a polygon. The tolerance (keys + and -, Shift+mouse wheel, context menu) sets how far the colours of the region may differ from the clicked one.</translation>
    </message>
    <message>
        <source>Wie weit die Farben der Fläche von der angeklickten abweichen dürfen (0 bis 255)</source>
        <translation>How far the colours of the region may differ from the clicked one (0 to 255)</translation>
    </message>
    <message>
        <source>Toleranz:</source>
        <translation>Tolerance:</translation>
    </message>
    <message>
        <source>Wie weit der Umriss der Fläche höchstens vom Polygon abweicht, in Bildpunkten</source>
        <translation>How far the outline of the region may lie from the polygon at most, in pixels</translation>
    </message>
    <message>
        <source>Genauigkeit (Pixel):</source>
        <translation>Precision (pixels):</translation>
    </message>
    <message>
        <source>Alle Regionen dieser Farbe</source>
        <translation>All regions of this colour</translation>
    </message>
</context>
<context>
    <name>korvane::UndoControls</name>
    <message>
        <source>Rückgängig</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Wiederherstellen</source>
        <translation>Redo</translation>
    </message>
</context>
<context>
    <name>korvane::WikiMap</name>
    <message>
        <source>Die Areale in Zeile %1 der Arealliste haben keinen Verweis, den MediaWiki kennt, keine Form oder sind ein zweites Standardareal; sie stehen nur als Kommentar im Text.</source>
        <translation>The areas in line %1 of the area list have no link MediaWiki knows, no shape, or are a second default area; they stand in the text as comments only.</translation>
    </message>
    <message>
        <source>Target, JavaScript-Handler und weitere Attribute der Areale kennt MediaWiki nicht; sie fehlen im Text.</source>
        <translation>MediaWiki knows no targets, JavaScript handlers or further attributes of areas; they are left out of the text.</translation>
    </message>
</context>
</TS>
