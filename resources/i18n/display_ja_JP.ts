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
<context>
    <name>XafsView</name>
    <message>
        <source>XAFS</source>
        <translation>XAFS</translation>
    </message>
    <message>
        <source>Normalized</source>
        <translation>規格化</translation>
    </message>
    <message>
        <source>E Correct.</source>
        <translation>エネルギー補正</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Data File (*.dat)</source>
        <translation>データファイル (*.dat)</translation>
    </message>
    <message>
        <source>Any Files (* *.*)</source>
        <translation>すべてのファイル (* *.*)</translation>
    </message>
    <message>
        <source>no E0</source>
        <translation>E0 なし</translation>
    </message>
    <message>
        <source>empty pre-edge range</source>
        <translation>プレエッジ範囲が空</translation>
    </message>
    <message>
        <source>empty post-edge range</source>
        <translation>ポストエッジ範囲が空</translation>
    </message>
    <message>
        <source>Normalisation failed: %1</source>
        <translation>規格化に失敗: %1</translation>
    </message>
</context>
<context>
    <name>StatusProgress</name>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
</context>
</TS>
