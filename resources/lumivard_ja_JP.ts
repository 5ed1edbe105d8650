<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>ACrystal</name>
    <message>
        <source>A Crystal</source>
        <translation>結晶</translation>
    </message>
    <message>
        <source>Angle [deg]</source>
        <translation>角度[deg]</translation>
    </message>
    <message>
        <source>Beam W.</source>
        <translation>ビーム幅</translation>
    </message>
    <message>
        <source>Energy[eV]</source>
        <translation>エネルギー[eV]</translation>
    </message>
    <message>
        <source>In Beam C.</source>
        <translation>入射高</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>長さ</translation>
    </message>
    <message>
        <source>Pos. X</source>
        <translation>位置(X)</translation>
    </message>
    <message>
        <source>Pos. Y</source>
        <translation>位置(Y)</translation>
    </message>
</context>
<context>
    <name>Body</name>
    <message>
        <source>      Current::</source>
        <translation>カーソル位置 : </translation>
    </message>
    <message>
        <source>Avr. Cross Points::</source>
        <translation>集光点 : </translation>
    </message>
    <message>
        <source>Avr. Img Point::</source>
        <translation>結像点 : </translation>
    </message>
    <message>
        <source>Comment:</source>
        <translation>コメント : </translation>
    </message>
    <message>
        <source>Crystals</source>
        <translation>結晶周辺</translation>
    </message>
    <message>
        <source>Focus Point</source>
        <translation>焦点周辺</translation>
    </message>
    <message>
        <source>Imaging Point</source>
        <translation>結像面周辺</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>ロード</translation>
    </message>
    <message>
        <source>Meas. Length::</source>
        <translation>計測距離 : </translation>
    </message>
    <message>
        <source>Rest CPs</source>
        <translation>焦点軌跡リセット</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>セーブ</translation>
    </message>
    <message>
        <source>Scale Reset</source>
        <translation>スケールリセット</translation>
    </message>
    <message>
        <source>Show Graph</source>
        <translation>グラフ表示</translation>
    </message>
    <message>
        <source>Square Grid</source>
        <translation>グリッド正方化</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編集</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>開く...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>名前を付けて保存...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>元に戻す</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>やり直し</translation>
    </message>
    <message>
        <source>Setup &amp;Types</source>
        <translation>配置タイプの説明</translation>
    </message>
    <message>
        <source>&amp;About Lumivard</source>
        <translation>Lumivard について</translation>
    </message>
    <message>
        <source>About Lumivard</source>
        <translation>Lumivard について</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Lumivard %1&lt;/h3&gt;&lt;p&gt;Design of flat analyser crystal arrays that split a broadband X-ray beam into energy bands.&lt;/p&gt;&lt;p&gt;Licence: MIT&lt;br&gt;Qt %2&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Lumivard %1&lt;/h3&gt;&lt;p&gt;広帯域のX線ビームをエネルギー帯に分ける平板分光結晶アレイの設計ツール&lt;/p&gt;&lt;p&gt;ライセンス: MIT&lt;br&gt;Qt %2&lt;/p&gt;</translation>
    </message>
    <message>
        <source>The design has changed since it was last saved.</source>
        <translation>前回の保存のあと、設計が変更されています。</translation>
    </message>
    <message>
        <source>Save the changes?</source>
        <translation>変更を保存しますか?</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>破棄</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Nothing was loaded: &quot;%1&quot; holds no design.</source>
        <translation>読み込みませんでした: &quot;%1&quot; には設計がありません。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; no longer exists; it was removed from the recent files.</source>
        <translation>&quot;%1&quot; が見つからないため、最近使ったファイルの一覧から外しました。</translation>
    </message>
</context>
<context>
    <name>CAlign</name>
    <message>
        <source>Help</source>
        <translation>タイプとは</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>長さ</translation>
    </message>
    <message>
        <source>Num of C.</source>
        <translation>結晶数</translation>
    </message>
    <message>
        <source>Rotate All</source>
        <translation>全体回転</translation>
    </message>
    <message>
        <source>Setup Type ::</source>
        <translation>配置タイプ</translation>
    </message>
    <message>
        <source>Start. Energy</source>
        <translation>エネルギー(起点)</translation>
    </message>
    <message>
        <source>Type 1</source>
        <translation>タイプ1</translation>
    </message>
    <message>
        <source>Type 2</source>
        <translation>タイプ2</translation>
    </message>
    <message>
        <source>Type 3</source>
        <translation>タイプ3</translation>
    </message>
    <message>
        <source>Type 4</source>
        <translation>タイプ4</translation>
    </message>
    <message>
        <source>Type 5</source>
        <translation>タイプ5</translation>
    </message>
    <message>
        <source>Type 6</source>
        <translation>タイプ6</translation>
    </message>
    <message>
        <source>Type 7</source>
        <translation>タイプ7</translation>
    </message>
    <message>
        <source>[eV]  dE</source>
        <translation>[eV]   ΔE</translation>
    </message>
    <message>
        <source>dX</source>
        <translation>間隔(X)</translation>
    </message>
    <message>
        <source>dY</source>
        <translation>間隔(Y)</translation>
    </message>
</context>
<context>
    <name>FieldGuard</name>
    <message>
        <source>Not a number: %1</source>
        <translation>数値ではありません: %1</translation>
    </message>
    <message>
        <source>Not a whole number: %1</source>
        <translation>整数ではありません: %1</translation>
    </message>
    <message>
        <source>(empty)</source>
        <translation>(空欄)</translation>
    </message>
</context>
<context>
    <name>MCrystal</name>
    <message>
        <source>Index</source>
        <translation>面指数</translation>
    </message>
    <message>
        <source>Lattice C.</source>
        <translation>格子定数</translation>
    </message>
    <message>
        <source>Monochro. Crystal:  </source>
        <translation>分光結晶</translation>
    </message>
    <message>
        <source>d</source>
        <translation>面間隔</translation>
    </message>
</context>
</TS>
