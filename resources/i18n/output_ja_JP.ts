<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>ExportController</name>
    <message>
        <source>Energy shift</source>
        <translation>エネルギーシフト</translation>
    </message>
    <message>
        <source>Results saved to %1</source>
        <translation>結果を %1 に保存しました</translation>
    </message>
    <message>
        <source>An area analysis is running: spectra not saved</source>
        <translation>領域の解析中です: スペクトルは保存しません</translation>
    </message>
    <message>
        <source>Can't write %1</source>
        <translation>%1 を書き込めません</translation>
    </message>
    <message>
        <source>No image loaded: flat and dark files not written</source>
        <translation>画像が読み込まれていません: flat と dark のファイルは書き込みません</translation>
    </message>
    <message>
        <source>No result map shown: %1 not saved</source>
        <translation>結果マップが表示されていません: %1 は保存しません</translation>
    </message>
    <message>
        <source>Number &quot;%1&quot; holds a folder separator: %2 and its colour bar not written</source>
        <translation>番号 &quot;%1&quot; にフォルダ区切りが含まれています: %2 とそのカラーバーは書き込まれません</translation>
    </message>
    <message>
        <source>Saved %1 to %2</source>
        <translation>%1 を %2 に保存しました</translation>
    </message>
</context>
<context>
    <name>ExportDialogs</name>
    <message>
        <source>HDF5 File (*.h5)</source>
        <translation>HDF5 ファイル (*.h5)</translation>
    </message>
    <message>
        <source>Image File (*.png)</source>
        <translation>画像ファイル (*.png)</translation>
    </message>
    <message>
        <source>Any Files (* *.*)</source>
        <translation>すべてのファイル (* *.*)</translation>
    </message>
    <message>
        <source>Tiff File (*.tif)</source>
        <translation>Tiff ファイル (*.tif)</translation>
    </message>
    <message>
        <source>Data File (*.dat)</source>
        <translation>データファイル (*.dat)</translation>
    </message>
    <message>
        <source>XAFS Spectra (*.dat)</source>
        <translation>XAFS スペクトル (*.dat)</translation>
    </message>
</context>
<context>
    <name>SaveDataCfg</name>
    <message>
        <source>Save All Results (HDF5)</source>
        <translation>全結果を保存 (HDF5)</translation>
    </message>
    <message>
        <source>Save Data Configuration</source>
        <translation>データ保存の設定</translation>
    </message>
    <message>
        <source>Save as Tiff</source>
        <translation>Tiff で保存</translation>
    </message>
    <message>
        <source>Fixed Scale</source>
        <translation>固定スケール</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>  Max</source>
        <translation>  最大</translation>
    </message>
    <message>
        <source>Save as Analyzed Area Size and Resolution</source>
        <translation>解析した領域の大きさと分解能で保存</translation>
    </message>
    <message>
        <source>Save as Text data</source>
        <translation>テキストデータで保存</translation>
    </message>
    <message>
        <source>Comma Separated</source>
        <translation>カンマ区切り</translation>
    </message>
    <message>
        <source>Space Separated</source>
        <translation>空白区切り</translation>
    </message>
    <message>
        <source>X Y Val : 1point/1line</source>
        <translation>X Y 値 : 1行に1点</translation>
    </message>
    <message>
        <source>Val1 Val2 Val3... : each Y line</source>
        <translation>値1 値2 値3... : Y の行ごと</translation>
    </message>
</context>
</TS>
