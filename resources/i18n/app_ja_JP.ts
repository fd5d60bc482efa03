<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Body</name>
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
        <source>Glitch Factor</source>
        <translation>グリッチ係数</translation>
    </message>
    <message>
        <source>A block is a glitch when its difference from its neighbours exceeds this many times the mean difference</source>
        <translation>隣との差が平均の差のこの倍数を超えるブロックをグリッチとみなします</translation>
    </message>
    <message>
        <source>Range Ratio</source>
        <translation>範囲比率</translation>
    </message>
    <message>
        <source>Only values within this fraction of the range from its ends are replaced</source>
        <translation>値域の両端からこの割合以内の値だけを置き換えます</translation>
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
        <source>Components</source>
        <translation>成分分析</translation>
    </message>
</context>
</TS>
