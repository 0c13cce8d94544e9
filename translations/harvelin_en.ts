<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>ui</name>
    <message id="ui.SearchButton">
        <source>&amp;Suche Zelvatron</source>
        <translation>&amp;Search Zelvatron</translation>
    </message>
</context>
</TS>
