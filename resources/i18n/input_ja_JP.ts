<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>EOFSetup</name>
    <message>
        <source>Reference File</source>
        <translation>参照ファイル</translation>
    </message>
    <message>
        <source>XAFS Data File (*.dat)</source>
        <translation>XAFS データファイル (*.dat)</translation>
    </message>
    <message>
        <source>Any Files (* *.*)</source>
        <translation>すべてのファイル (* *.*)</translation>
    </message>
</context>
<context>
    <name>EngOfFilesSetup</name>
    <message>
        <source>Frame</source>
        <translation>フレーム</translation>
    </message>
    <message>
        <source>Energy Cal. from File Name</source>
        <translation>ファイル名からエネルギー計算</translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation>パターン</translation>
    </message>
    <message>
        <source>[Reg. Exp]</source>
        <translation>[正規表現]</translation>
    </message>
    <message>
        <source>No energy in any file name. Reload with</source>
        <translation>どのファイル名にもエネルギーがありません。次のパターンで再読込</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>再読込</translation>
    </message>
    <message>
        <source>Factor</source>
        <translation>係数</translation>
    </message>
    <message>
        <source>Energy Cal. from File No.</source>
        <translation>ファイル番号からエネルギー計算</translation>
    </message>
    <message>
        <source>Sel. Unit</source>
        <translation>単位選択</translation>
    </message>
    <message>
        <source>Even in</source>
        <translation>等間隔</translation>
    </message>
    <message>
        <source>Energy</source>
        <translation>エネルギー</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>角度</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Delta</source>
        <translation>刻み</translation>
    </message>
    <message>
        <source>End</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Num</source>
        <translation>点数</translation>
    </message>
    <message>
        <source>Energy Cal. from Ref. File</source>
        <translation>参照ファイルからエネルギー計算</translation>
    </message>
    <message>
        <source>Sel.</source>
        <translation>選択</translation>
    </message>
</context>
<context>
    <name>SelectDataFiles</name>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新規</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>間引き</translation>
    </message>
    <message>
        <source>Show Latest</source>
        <translation>最新を表示</translation>
    </message>
    <message>
        <source>Data Select</source>
        <translation>データ選択</translation>
    </message>
    <message>
        <source>Cut F.</source>
        <translation>先頭除外</translation>
    </message>
    <message>
        <source>Cut L.</source>
        <translation>末尾除外</translation>
    </message>
    <message>
        <source>Data Files</source>
        <translation>データファイル</translation>
    </message>
    <message>
        <source>QNRB Files, IMG Files, Tiff Files (*.dat *.img *.tif *.tiff)</source>
        <translation>QNRB ファイル, IMG ファイル, Tiff ファイル (*.dat *.img *.tif *.tiff)</translation>
    </message>
    <message>
        <source>Any Files (* *.*)</source>
        <translation>すべてのファイル (* *.*)</translation>
    </message>
</context>
<context>
    <name>TiffData</name>
    <message>
        <source>Can not open</source>
        <translation>開けません</translation>
    </message>
    <message>
        <source>Can not open (1)</source>
        <translation>開けません (1)</translation>
    </message>
    <message>
        <source>Can not open (2)</source>
        <translation>開けません (2)</translation>
    </message>
    <message>
        <source>Can not open TIFF</source>
        <translation>TIFF として開けません</translation>
    </message>
    <message>
        <source>Empty image</source>
        <translation>空の画像</translation>
    </message>
    <message>
        <source>Error on reading</source>
        <translation>読み込みエラー</translation>
    </message>
    <message>
        <source>Error on reading (2)</source>
        <translation>読み込みエラー (2)</translation>
    </message>
    <message>
        <source>Error on reading TIFF</source>
        <translation>TIFF の読み込みエラー</translation>
    </message>
    <message>
        <source>Error on reading file (1)</source>
        <translation>ファイルの読み込みエラー (1)</translation>
    </message>
    <message>
        <source>Image too large</source>
        <translation>画像が大きすぎます</translation>
    </message>
    <message>
        <source>Not a greyscale TIFF</source>
        <translation>グレースケールの TIFF ではありません</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>通常のファイルではありません</translation>
    </message>
    <message>
        <source>Tiled TIFF is not supported</source>
        <translation>タイル形式の TIFF には対応していません</translation>
    </message>
    <message>
        <source>Unknown image format</source>
        <translation>未知の画像形式</translation>
    </message>
    <message>
        <source>Unsupported TIFF sample format</source>
        <translation>対応していない TIFF のサンプル形式</translation>
    </message>
</context>
</TS>
