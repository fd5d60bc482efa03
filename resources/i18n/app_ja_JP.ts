<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Body</name>
    <message>
        <source>No standard spectrum: calibration not started</source>
        <translation>標準スペクトルがありません: 較正を開始しません</translation>
    </message>
    <message>
        <source>A calibration is running: area analysis not started</source>
        <translation>較正の実行中です: 領域解析を開始しません</translation>
    </message>
    <message>
        <source>No images loaded: analysis not started</source>
        <translation>画像が読み込まれていません: 解析を開始しません</translation>
    </message>
    <message>
        <source>An area analysis is running: calibration not started</source>
        <translation>領域解析の実行中です: 較正を開始しません</translation>
    </message>
    <message>
        <source>A calibration is writing the energy-shift map</source>
        <translation>較正がエネルギーシフトマップに書き込み中です</translation>
    </message>
    <message>
        <source>No such crystal: %1</source>
        <translation>そのような分光結晶はありません: %1</translation>
    </message>
    <message>
        <source>No standard spectrum: %1 not saved</source>
        <translation>標準スペクトルがありません: %1 は保存されません</translation>
    </message>
    <message>
        <source>Set All</source>
        <translation>全画像に適用</translation>
    </message>
    <message>
        <source>Fluo. Type</source>
        <translation>蛍光法</translation>
    </message>
    <message>
        <source>Reset Scale</source>
        <translation>表示リセット</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>拡大</translation>
    </message>
    <message>
        <source>Position: </source>
        <translation>位置: </translation>
    </message>
    <message>
        <source>   E-shift from Std.: </source>
        <translation>   標準からのEシフト: </translation>
    </message>
    <message>
        <source>    E-Shift Tbl.: </source>
        <translation>    Eシフト表: </translation>
    </message>
    <message>
        <source>Img. Select :</source>
        <translation>画像選択 :</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>データ</translation>
    </message>
    <message>
        <source>Shift</source>
        <translation>シフト</translation>
    </message>
    <message>
        <source>Res. Analysis</source>
        <translation>残差解析</translation>
    </message>
    <message>
        <source>Show Spectrum</source>
        <translation>スペクトル表示</translation>
    </message>
    <message>
        <source>Show Analyzer</source>
        <translation>解析窓表示</translation>
    </message>
    <message>
        <source>Show Cali. Ctrl.</source>
        <translation>較正窓表示</translation>
    </message>
    <message>
        <source>Show Img. Proc.</source>
        <translation>画像処理表示</translation>
    </message>
    <message>
        <source>Batch Ctrl.</source>
        <translation>バッチ制御</translation>
    </message>
    <message>
        <source>Chk Vals</source>
        <translation>値確認</translation>
    </message>
    <message>
        <source>Save Img/Data</source>
        <translation>画像/データ保存</translation>
    </message>
    <message>
        <source>Save Flat Dark</source>
        <translation>フラット/ダーク保存</translation>
    </message>
    <message>
        <source>Cfg.</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>データ保存</translation>
    </message>
    <message>
        <source>Save Image</source>
        <translation>画像保存</translation>
    </message>
    <message>
        <source>Save Proc. Data</source>
        <translation>処理データ保存</translation>
    </message>
    <message>
        <source>Save XAFS Spectra</source>
        <translation>XAFSスペクトル保存</translation>
    </message>
    <message>
        <source>DeGlitch</source>
        <translation>グリッチ除去</translation>
    </message>
    <message>
        <source>de Glitch</source>
        <translation>グリッチ除去</translation>
    </message>
    <message>
        <source>Deglitch Selected Map</source>
        <translation>選択したマップのグリッチ除去</translation>
    </message>
    <message>
        <source>Deglitch E-Shift Map</source>
        <translation>Eシフトマップのグリッチ除去</translation>
    </message>
    <message>
        <source>I1 Data</source>
        <translation>I1 データ</translation>
    </message>
    <message>
        <source>I0 Data</source>
        <translation>I0 データ</translation>
    </message>
    <message>
        <source>Spectrum at the position</source>
        <translation>カーソル位置のスペクトル</translation>
    </message>
    <message>
        <source>Can't save %1</source>
        <translation>%1 を保存できません</translation>
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
        <source>Can't write %1</source>
        <translation>%1 を書き込めません</translation>
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
        <source>No image loaded: flat and dark files not written</source>
        <translation>画像が読み込まれていません: flat と dark のファイルは書き込みません</translation>
    </message>
    <message>
        <source>XAFS Spectra (*.dat)</source>
        <translation>XAFS スペクトル (*.dat)</translation>
    </message>
    <message>
        <source>An area analysis is running: spectra not saved</source>
        <translation>領域の解析中です: スペクトルは保存しません</translation>
    </message>
    <message>
        <source>Saving spectra</source>
        <translation>スペクトル保存中</translation>
    </message>
    <message>
        <source>Area analysis</source>
        <translation>領域解析</translation>
    </message>
    <message>
        <source>Calibration</source>
        <translation>エネルギー較正</translation>
    </message>
    <message>
        <source>Number &quot;%1&quot; holds a folder separator: %2 and its colour bar not written</source>
        <translation>番号 &quot;%1&quot; にフォルダ区切りが含まれています: %2 とそのカラーバーは書き込まれません</translation>
    </message>
    <message>
        <source>run stopped after %1 of %2 blocks</source>
        <translation>%2 ブロック中 %1 ブロックで解析を停止しました</translation>
    </message>
    <message>
        <source>No result map shown: %1 not saved</source>
        <translation>結果マップが表示されていません: %1 は保存しません</translation>
    </message>
    <message>
        <source>Saved %1 to %2</source>
        <translation>%1 を %2 に保存しました</translation>
    </message>
</context>
</TS>
