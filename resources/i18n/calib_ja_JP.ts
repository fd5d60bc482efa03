<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CalibCtrl</name>
    <message>
        <source>Calibration</source>
        <translation>キャリブレーション</translation>
    </message>
    <message>
        <source>Crystal</source>
        <translation>分光結晶</translation>
    </message>
    <message>
        <source>Edge E [eV]</source>
        <translation>吸収端 E [eV]</translation>
    </message>
    <message>
        <source>Target :</source>
        <translation>対象 :</translation>
    </message>
    <message>
        <source>Simple</source>
        <translation>単純</translation>
    </message>
    <message>
        <source>Victreen</source>
        <translation>Victreen</translation>
    </message>
    <message>
        <source>Std. :</source>
        <translation>標準 :</translation>
    </message>
    <message>
        <source>Delta Energy [eV]</source>
        <translation>エネルギー差 [eV]</translation>
    </message>
    <message>
        <source>Avr.</source>
        <translation>平均</translation>
    </message>
    <message>
        <source>Min.</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>Max.</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>sigma</source>
        <translation>σ</translation>
    </message>
    <message>
        <source>Exec Calib.</source>
        <translation>較正実行</translation>
    </message>
    <message>
        <source>Clear Map</source>
        <translation>マップ消去</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>読込</translation>
    </message>
    <message>
        <source>Select Std.</source>
        <translation>標準選択</translation>
    </message>
    <message>
        <source>Energy Distribution Map File (*.emp)</source>
        <translation>エネルギー分布マップファイル (*.emp)</translation>
    </message>
    <message>
        <source>Any Files (* *.*)</source>
        <translation>全てのファイル (* *.*)</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Ranges :</source>
        <translation>範囲 :</translation>
    </message>
    <message>
        <source>Preset :</source>
        <translation>プリセット :</translation>
    </message>
    <message>
        <source>K edge</source>
        <translation>K 吸収端</translation>
    </message>
    <message>
        <source>L edge</source>
        <translation>L 吸収端</translation>
    </message>
</context>
<context>
    <name>CalibrationController</name>
    <message>
        <source>A calibration is writing the energy-shift map</source>
        <translation>較正がエネルギーシフトマップに書き込み中です</translation>
    </message>
    <message>
        <source>An area analysis is running: calibration not started</source>
        <translation>領域解析の実行中です: 較正を開始しません</translation>
    </message>
    <message>
        <source>No standard spectrum: calibration not started</source>
        <translation>標準スペクトルがありません: 較正を開始しません</translation>
    </message>
    <message>
        <source>No standard spectrum: %1 not saved</source>
        <translation>標準スペクトルがありません: %1 は保存されません</translation>
    </message>
    <message>
        <source>No such crystal: %1</source>
        <translation>そのような分光結晶はありません: %1</translation>
    </message>
    <message>
        <source>Bad normalisation ranges: %1</source>
        <translation>規格化範囲が不正です: %1</translation>
    </message>
    <message>
        <source>No such preset: %1 (k or l)</source>
        <translation>そのようなプリセットはありません: %1 (k または l)</translation>
    </message>
</context>
<context>
    <name>EnergyShiftMap</name>
    <message>
        <source>Edge energy beyond the crystal&apos;s reach: %1 not saved</source>
        <translation>吸収端エネルギーが分光結晶の範囲外です: %1 は保存されません</translation>
    </message>
    <message>
        <source>Can not open %1</source>
        <translation>%1 を開けません</translation>
    </message>
    <message>
        <source>Can not write %1</source>
        <translation>%1 に書き込めません</translation>
    </message>
    <message>
        <source>Invalid Energy Map Data File : %1</source>
        <translation>不正なエネルギーマップファイル : %1</translation>
    </message>
    <message>
        <source>Energy map sizes out of range: %1</source>
        <translation>エネルギーマップの大きさが範囲外です: %1</translation>
    </message>
    <message>
        <source>Energy map size does not match the images: %1</source>
        <translation>エネルギーマップの大きさが画像と合いません: %1</translation>
    </message>
    <message>
        <source>Edge energy beyond the crystal&apos;s reach: %1 not loaded</source>
        <translation>吸収端エネルギーが分光結晶の範囲外です: %1 は読み込まれません</translation>
    </message>
    <message>
        <source>Energy map value that is not a finite number at line %2: %1</source>
        <translation>エネルギーマップの %2 行目に有限の数でない値があります: %1</translation>
    </message>
</context>
<context>
    <name>ImgProc</name>
    <message>
        <source>Image Processor</source>
        <translation>画像処理</translation>
    </message>
    <message>
        <source>Edge Detect</source>
        <translation>エッジ検出</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>二値化</translation>
    </message>
    <message>
        <source>Set Ref.</source>
        <translation>参照に設定</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>Th.</source>
        <translation>閾値</translation>
    </message>
    <message>
        <source>dX</source>
        <translation>dX</translation>
    </message>
    <message>
        <source>dY</source>
        <translation>dY</translation>
    </message>
    <message>
        <source>Comp.</source>
        <translation>比較</translation>
    </message>
    <message>
        <source>S.P.</source>
        <translation>S.P.</translation>
    </message>
    <message>
        <source>A. Set Shift</source>
        <translation>自動シフト設定</translation>
    </message>
    <message>
        <source>A. A. Shift</source>
        <translation>常時自動シフト</translation>
    </message>
    <message>
        <source>Auto Shift</source>
        <translation>自動シフト</translation>
    </message>
    <message>
        <source>Set Shift</source>
        <translation>シフト設定</translation>
    </message>
    <message>
        <source>Clear All Shifts</source>
        <translation>全シフト消去</translation>
    </message>
</context>
</TS>
