<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>ColorBar</name>
    <message>
        <source>Drag the upper or the lower limit to change the colour scale</source>
        <translation>上限または下限の線をドラッグして色スケールを変更</translation>
    </message>
</context>
</TS>
