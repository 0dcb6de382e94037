<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AddCommand</name>
    <message>
        <source>请先选择一个文件夹</source>
        <translation>Please select a folder first.</translation>
    </message>
    <message>
        <source>请先打开一个文件夹，再进行文件拖放操作</source>
        <translation>Please open a folder first, then drop the files onto it.</translation>
    </message>
</context>
<context>
    <name>AddFiles</name>
    <message>
        <source>文件名 &quot;%1&quot; 已经存在!
<byte value="xd"/>是否让系统自动更改名称？
<byte value="xd"/>或者不添加该文件!</source>
        <translation>A picture named &quot;%1&quot; already exists!
<byte value="xd"/>Shall Zarvo give the new one another name?
<byte value="xd"/>Otherwise the file is not added.</translation>
    </message>
    <message>
        <source>文件 %1 添加失败</source>
        <translation>The file %1 could not be added.</translation>
    </message>
    <message>
        <source>文件 %1 不存在,不能添加到文件夹中</source>
        <translation>The file %1 does not exist and cannot be added to the folder.</translation>
    </message>
    <message numerus="yes">
        <source>有 %n 张图片与图片库中已有的图片完全相同</source>
        <translation>
            <numerusform>%n picture held the same bytes as a picture already stored</numerusform>
            <numerusform>%n pictures held the same bytes as pictures already stored</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>AddNode</name>
    <message>
        <source>请选择一个树或文件夹</source>
        <translation>Please select a group or a folder.</translation>
    </message>
    <message>
        <source>该文件夹已经存在，请更改</source>
        <translation>This folder already exists. Please choose another name.</translation>
    </message>
    <message>
        <source>文件夹 %1 创建成功!</source>
        <translation>Folder %1 created!</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Zarvo 图片存储/浏览工具</source>
        <translation>Zarvo picture storage and browsing</translation>
    </message>
    <message>
        <source>显示本帮助</source>
        <translation>Show this help</translation>
    </message>
    <message>
        <source>显示版本</source>
        <translation>Show the version</translation>
    </message>
    <message>
        <source>打开图片库 NAME: 一个文件, 或 postgresql:// 开头的服务器连接 (默认: 环境变量 ZARVO_STORE, 否则当前目录的 data.mdb)</source>
        <translation>Open the picture store NAME: a file, or a server connection starting with postgresql:// (default: the environment variable ZARVO_STORE, else data.mdb in the working directory)</translation>
    </message>
    <message>
        <source>多余的参数: %1</source>
        <translation>Unexpected arguments: %1</translation>
    </message>
</context>
<context>
    <name>DeleteNode</name>
    <message>
        <source>文件夹删除时发生错误，没有能成功删除</source>
        <translation>An error occurred while deleting the folder: it was not deleted.</translation>
    </message>
    <message>
        <source>真的要删除文件夹: %1 吗?</source>
        <translation>Do you really want to delete the folder %1?</translation>
    </message>
    <message>
        <source>真的要删除文件夹:%1吗?</source>
        <translation>Do you really want to delete the folder %1?</translation>
    </message>
    <message>
        <source>真的要删除这个树结构吗?(其中可能有文件夹在里面)</source>
        <translation>Do you really want to delete this group? (It may contain folders.)</translation>
    </message>
    <message>
        <source>请先选择你要删除的文件夹/树结构</source>
        <translation>Please select the folder or group to delete first.</translation>
    </message>
</context>
<context>
    <name>Duplicates</name>
    <message>
        <source>重复图片查找失败</source>
        <translation>Finding duplicate pictures failed</translation>
    </message>
    <message>
        <source>是否真的要删除这些文件?</source>
        <translation>Do you really want to delete these pictures?</translation>
    </message>
    <message>
        <source>文件: %1 在删除过程中产生错误，删除不成功</source>
        <translation>An error occurred while deleting the picture %1: it was not deleted.</translation>
    </message>
</context>
<context>
    <name>ExportFolder</name>
    <message>
        <source>文件 %1 已经存在，是否要覆盖它？</source>
        <translation>The file %1 already exists. Do you want to replace it?</translation>
    </message>
    <message>
        <source>请选择相应的文件夹,并保证文件夹内存在文件</source>
        <translation>Please select a folder that holds pictures.</translation>
    </message>
    <message numerus="yes">
        <source>有 %n 个文件导出失败</source>
        <translation>
            <numerusform>%n file could not be exported.</numerusform>
            <numerusform>%n files could not be exported.</numerusform>
        </translation>
    </message>
    <message>
        <source>导出成功，请检查文件是否已经正确保存</source>
        <translation>Export finished. Please check that the files were saved correctly.</translation>
    </message>
</context>
<context>
    <name>Fangda</name>
    <message>
        <source>文件在数据库不存在</source>
        <translation>The picture is not in the database.</translation>
    </message>
    <message>
        <source>文件：%1 在读取时发生错误！</source>
        <translation>An error occurred while reading the file %1!</translation>
    </message>
    <message>
        <source>请先打开一个文件夹</source>
        <translation>Please open a folder first.</translation>
    </message>
    <message>
        <source>真的要放大所有图片吗?</source>
        <translation>Do you really want to enlarge all pictures?</translation>
    </message>
</context>
<context>
    <name>GifDescription</name>
    <message>
        <source>文件名：%1</source>
        <translation>File name: %1</translation>
    </message>
    <message>
        <source>来源: %1</source>
        <translation>Source: %1</translation>
    </message>
    <message>
        <source>文件大小: %1 Byte</source>
        <translation>File size: %1 bytes</translation>
    </message>
    <message numerus="yes">
        <source>包含图片数: %n 张</source>
        <translation>
            <numerusform>Pictures: %n</numerusform>
            <numerusform>Pictures: %n</numerusform>
        </translation>
    </message>
    <message>
        <source>图片大小: %1*%2</source>
        <translation>Picture size: %1*%2</translation>
    </message>
    <message numerus="yes">
        <source>图片位数: %n 位</source>
        <translation>
            <numerusform>Colour depth: %n bit</numerusform>
            <numerusform>Colour depth: %n bits</numerusform>
        </translation>
    </message>
    <message>
        <source>播放速度: 100</source>
        <translation>Playback speed: 100</translation>
    </message>
</context>
<context>
    <name>ImportTree</name>
    <message>
        <source>目录 %1 不存在</source>
        <translation>The directory %1 does not exist</translation>
    </message>
    <message>
        <source>目录 %1 无法读取</source>
        <translation>The directory %1 cannot be read</translation>
    </message>
    <message>
        <source>%1 的名称不是 UTF-8 文本, 未导入</source>
        <translation>The name of %1 is not UTF-8 text; not imported</translation>
    </message>
    <message>
        <source>树结构保存失败！</source>
        <translation>The folder tree could not be saved!</translation>
    </message>
    <message>
        <source>文件夹 %1 创建失败</source>
        <translation>The folder %1 could not be created.</translation>
    </message>
    <message>
        <source>文件 %1 添加失败</source>
        <translation>The file %1 could not be added.</translation>
    </message>
    <message>
        <source>正在导入目录 %1</source>
        <translation>Importing the directory %1</translation>
    </message>
    <message>
        <source>目录 %1 导入失败</source>
        <translation>Importing the directory %1 failed</translation>
    </message>
    <message>
        <source>导入已取消: </source>
        <translation>Import cancelled: </translation>
    </message>
    <message>
        <source>导入完成: </source>
        <translation>Import finished: </translation>
    </message>
    <message>
        <source>添加 %1 张图片, 跳过 %2 张重复的图片, 跳过 %3 个非图片文件, %4 个失败</source>
        <translation>%1 pictures added, %2 duplicate pictures skipped, %3 other files skipped, %4 failed</translation>
    </message>
    <message>
        <source>还有 %1 个失败</source>
        <translation>and %1 more failures</translation>
    </message>
</context>
<context>
    <name>MainMenus</name>
    <message>
        <source>添加文件</source>
        <translation>Add Pictures</translation>
    </message>
    <message>
        <source>修改文件</source>
        <translation>Rename Picture</translation>
    </message>
    <message>
        <source>删除文件</source>
        <translation>Delete Pictures</translation>
    </message>
    <message>
        <source>查找文件</source>
        <translation>Find Picture</translation>
    </message>
    <message>
        <source>添加文件夹</source>
        <translation>Add Folder</translation>
    </message>
    <message>
        <source>修改文件夹</source>
        <translation>Rename Folder</translation>
    </message>
    <message>
        <source>删除文件夹</source>
        <translation>Delete Folder</translation>
    </message>
    <message>
        <source>查找文件夹</source>
        <translation>Find Folder</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>最小化窗口</source>
        <translation>Minimize Window</translation>
    </message>
    <message>
        <source>退出程序</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>添加文件(&amp;A)</source>
        <translation>&amp;Add Pictures...</translation>
    </message>
    <message>
        <source>修改文件(&amp;E)</source>
        <translation>&amp;Rename Picture...</translation>
    </message>
    <message>
        <source>删除文件(&amp;D)</source>
        <translation>&amp;Delete Pictures</translation>
    </message>
    <message>
        <source>查找文件(&amp;F)</source>
        <translation>&amp;Find Picture...</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>文件夹(&amp;O)</source>
        <translation>F&amp;older</translation>
    </message>
    <message>
        <source>添加文件夹(&amp;L)</source>
        <translation>&amp;Add Folder...</translation>
    </message>
    <message>
        <source>修改文件夹(&amp;I)</source>
        <translation>&amp;Rename Folder...</translation>
    </message>
    <message>
        <source>删除文件夹(&amp;R)</source>
        <translation>&amp;Delete Folder</translation>
    </message>
    <message>
        <source>查找文件夹(&amp;O)</source>
        <translation>&amp;Find Folder...</translation>
    </message>
    <message>
        <source>文件操作(&amp;C)</source>
        <translation>&amp;Pictures</translation>
    </message>
    <message>
        <source>全部删除(&amp;A)</source>
        <translation>&amp;Delete All</translation>
    </message>
    <message>
        <source>全部导出(&amp;D)...</source>
        <translation>&amp;Export All...</translation>
    </message>
    <message>
        <source>全部打开(&amp;O)</source>
        <translation>&amp;Open All</translation>
    </message>
    <message>
        <source>工具(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>Gif文件分解工具(&amp;G)....</source>
        <translation>&amp;GIF Frame Splitter...</translation>
    </message>
    <message>
        <source>关于(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>作者(&amp;U)</source>
        <translation>A&amp;uthor</translation>
    </message>
    <message>
        <source>放大图片(&amp;F)...</source>
        <translation>&amp;Enlarge Picture...</translation>
    </message>
    <message>
        <source>保存图片(&amp;S)...</source>
        <translation>&amp;Save Picture As...</translation>
    </message>
    <message>
        <source>复制(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>粘贴(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>剪切(&amp;x)</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>全部选中(&amp;A)</source>
        <translation>Select &amp;All</translation>
    </message>
    <message>
        <source>删除图片(&amp;D)</source>
        <translation>&amp;Delete Pictures</translation>
    </message>
    <message>
        <source>导入目录(&amp;M)...</source>
        <translation>I&amp;mport Directory...</translation>
    </message>
    <message>
        <source>查找重复图片(&amp;D)...</source>
        <translation>Find &amp;Duplicate Pictures...</translation>
    </message>
</context>
<context>
    <name>NameRules</name>
    <message>
        <source>名称是空的</source>
        <translation>the name is empty</translation>
    </message>
    <message>
        <source>名称中不能包含ASCII码1</source>
        <translation>a name cannot contain the character ASCII 1</translation>
    </message>
    <message>
        <source>名称中不能包含空格字符</source>
        <translation>a name cannot contain spaces</translation>
    </message>
    <message>
        <source>名称中不能包含制表符或换行符</source>
        <translation>a name cannot contain tabs or line breaks</translation>
    </message>
    <message>
        <source>名称中不能包含ASCII码0</source>
        <translation>a name cannot contain the character ASCII 0</translation>
    </message>
    <message>
        <source>名称超过 %1 个字节 (一个汉字算两个字节)</source>
        <translation>the name is longer than %1 bytes (a Chinese character counts as two)</translation>
    </message>
</context>
<context>
    <name>OpenNode</name>
    <message>
        <source>该文件不存在，是否要创建该文件夹?</source>
        <translation>This folder does not exist. Do you want to create it?</translation>
    </message>
    <message>
        <source>文件夹 %1 创建成功!</source>
        <translation>Folder %1 created!</translation>
    </message>
</context>
<context>
    <name>PictureClipboard</name>
    <message>
        <source>请先选择要剪切的文件</source>
        <translation>Please select the pictures to cut first.</translation>
    </message>
    <message>
        <source>请先选择要复制的文件</source>
        <translation>Please select the pictures to copy first.</translation>
    </message>
    <message>
        <source>请先打开文件夹，再进行粘贴操作</source>
        <translation>Please open a folder first, then paste.</translation>
    </message>
    <message>
        <source>不能在同一文件夹中进行粘贴操作</source>
        <translation>Pictures cannot be pasted into the folder they come from.</translation>
    </message>
    <message>
        <source>文件 %1 在文件夹 %2 中已经存在，是否让系统自动给它改名?</source>
        <translation>A picture named %1 already exists in the folder %2. Shall Zarvo give it another name?</translation>
    </message>
    <message>
        <source>文件 %1 在粘贴时发生错误</source>
        <translation>An error occurred while pasting the picture %1.</translation>
    </message>
    <message>
        <source>文件 %1 在删除时发生错误</source>
        <translation>An error occurred while deleting the picture %1.</translation>
    </message>
</context>
<context>
    <name>Prompt</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>RenameDelete</name>
    <message>
        <source>请选择一个文件夹，并选择其中的一个文件</source>
        <translation>Please select a folder and one of its pictures.</translation>
    </message>
    <message>
        <source>文件名 %1 在文件夹 %2 已经存在，请更改名称</source>
        <translation>A picture named %1 already exists in the folder %2. Please choose another name.</translation>
    </message>
    <message>
        <source>文件 %1 成功改名为 %2</source>
        <translation>Picture %1 renamed to %2.</translation>
    </message>
    <message>
        <source>文件夹 %1 在对文件 %2 修改名称时发生错误</source>
        <translation>An error occurred in the folder %1 while renaming the picture %2.</translation>
    </message>
    <message>
        <source>请打开文件夹并选中要删除的文件</source>
        <translation>Please open a folder and select the pictures to delete.</translation>
    </message>
    <message>
        <source>是否真的要删除这些文件?</source>
        <translation>Do you really want to delete these pictures?</translation>
    </message>
    <message>
        <source>文件: %1 在删除过程中产生错误，删除不成功</source>
        <translation>An error occurred while deleting the picture %1: it was not deleted.</translation>
    </message>
    <message>
        <source>请先打开一个文件夹</source>
        <translation>Please open a folder first.</translation>
    </message>
    <message>
        <source>真的要删除该文件夹下的全部文件吗?</source>
        <translation>Do you really want to delete all pictures in this folder?</translation>
    </message>
</context>
<context>
    <name>RenameNode</name>
    <message>
        <source>树结构 %1 成功改名为 %2</source>
        <translation>Group %1 renamed to %2.</translation>
    </message>
    <message>
        <source>在修改树结构名称 %1 时发生错误</source>
        <translation>An error occurred while renaming the group to %1.</translation>
    </message>
    <message>
        <source>文件夹 %1 在修改过程中发生错误</source>
        <translation>An error occurred while renaming the folder to %1.</translation>
    </message>
    <message>
        <source>该文件夹名 %1 已经存在，请更改!</source>
        <translation>A folder named %1 already exists. Please choose another name!</translation>
    </message>
    <message>
        <source>文件夹 %1 创建失败</source>
        <translation>The folder %1 could not be created.</translation>
    </message>
    <message>
        <source>文件夹 %1 成功改名为 %2</source>
        <translation>Folder %1 renamed to %2.</translation>
    </message>
    <message>
        <source>请先选择要改名的文件夹或树结构</source>
        <translation>Please select the folder or group to rename first.</translation>
    </message>
</context>
<context>
    <name>SavePicture</name>
    <message>
        <source>文件: %1 已经存在，是否要覆盖该文件?</source>
        <translation>The file %1 already exists. Do you want to replace it?</translation>
    </message>
    <message>
        <source>文件 %1 保存失败</source>
        <translation>The file %1 could not be saved.</translation>
    </message>
    <message>
        <source>该文件在数据库已经不存在了，所以保存时可能不正确</source>
        <translation>The picture is no longer in the database, so it may not be saved correctly.</translation>
    </message>
    <message>
        <source>文件 %1 保存成功!</source>
        <translation>File %1 saved!</translation>
    </message>
    <message>
        <source>文件保存失败，请使用它原有的文件格式保存!</source>
        <translation>The file could not be saved. Please save it in its own format!</translation>
    </message>
</context>
<context>
    <name>StatusTexts</name>
    <message numerus="yes">
        <source>总文件数为: %n 个</source>
        <translation>
            <numerusform>Total: %n picture</numerusform>
            <numerusform>Total: %n pictures</numerusform>
        </translation>
    </message>
    <message>
        <source>GIF文件有:%1个 | ICO文件有:%2个 | BMP文件有:%3个 | PNG文件有:%4个 | JPG/JPEG文件有:%5个</source>
        <translation>GIF: %1 | ICO: %2 | BMP: %3 | PNG: %4 | JPG/JPEG: %5</translation>
    </message>
    <message>
        <source>文件名:%1</source>
        <translation>Name: %1</translation>
    </message>
    <message>
        <source>来源:%1</source>
        <translation>Source: %1</translation>
    </message>
    <message numerus="yes">
        <source>大小:%n Byte (约为:%1 KB)</source>
        <translation>
            <numerusform>Size: %n byte (about %1 KB)</numerusform>
            <numerusform>Size: %n bytes (about %1 KB)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Store</name>
    <message>
        <source>文件夹 %1 创建失败</source>
        <translation>The folder %1 could not be created.</translation>
    </message>
</context>
<context>
    <name>TreeBlob</name>
    <message>
        <source>树结构读取失败！</source>
        <translation>The folder tree could not be read!</translation>
    </message>
    <message>
        <source>树结构保存失败！</source>
        <translation>The folder tree could not be saved!</translation>
    </message>
</context>
<context>
    <name>ViewedPicture</name>
    <message>
        <source>文件:%1</source>
        <translation>File: %1</translation>
    </message>
</context>
<context>
    <name>WidgetPrompt</name>
    <message>
        <source>Confirm</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;No</translation>
    </message>
</context>
<context>
    <name>Zarvoctl</name>
    <message>
        <source>数据库文件不存在! (%1)</source>
        <translation>The database file does not exist! (%1)</translation>
    </message>
    <message>
        <source>数据库打开错误: %1 正被另一个 Zarvo 或 zarvoctl 使用</source>
        <translation>Cannot open the database: %1 is in use by another Zarvo or zarvoctl</translation>
    </message>
    <message>
        <source>数据库打开错误: %1 所在的文件系统不支持加锁 (%2)</source>
        <translation>Cannot open the database: the file system of %1 does not support locking (%2)</translation>
    </message>
    <message>
        <source>数据库打开错误: %1 只能读, 不能写</source>
        <translation>Cannot open the database: %1 can be read but not written</translation>
    </message>
    <message>
        <source>数据库打开错误: %1 (%2)</source>
        <translation>Cannot open the database: %1 (%2)</translation>
    </message>
    <message>
        <source>用法: zarvoctl init PATH</source>
        <translation>Usage: zarvoctl init PATH</translation>
    </message>
    <message>
        <source>不能新建图片库 %1: %2</source>
        <translation>Cannot create the picture store %1: %2</translation>
    </message>
    <message>
        <source>已新建图片库 %1</source>
        <translation>Created the picture store %1</translation>
    </message>
    <message>
        <source>用法: zarvoctl add PATH FOLDER FILE...</source>
        <translation>Usage: zarvoctl add PATH FOLDER FILE...</translation>
    </message>
    <message>
        <source>文件夹名称 &quot;%1&quot; 不可用: %2</source>
        <translation>The folder name &quot;%1&quot; cannot be used: %2</translation>
    </message>
    <message>
        <source>文件夹名称 &quot;%1&quot; 不可用: 它是文件夹树自己的表</source>
        <translation>The folder name &quot;%1&quot; cannot be used: it is the folder tree&apos;s own table</translation>
    </message>
    <message>
        <source>文件夹树无法读取, 没有添加任何图片</source>
        <translation>The folder tree cannot be read: no picture was added</translation>
    </message>
    <message>
        <source>文件夹 %1 创建成功!</source>
        <translation>Folder %1 created!</translation>
    </message>
    <message>
        <source>用法: zarvoctl list PATH [FOLDER]</source>
        <translation>Usage: zarvoctl list PATH [FOLDER]</translation>
    </message>
    <message>
        <source>没有文件夹 %1</source>
        <translation>There is no folder %1</translation>
    </message>
    <message>
        <source>用法: zarvoctl export PATH FOLDER DIR [--force]</source>
        <translation>Usage: zarvoctl export PATH FOLDER DIR [--force]</translation>
    </message>
    <message>
        <source>不能建立目录 %1</source>
        <translation>Cannot create the directory %1</translation>
    </message>
    <message>
        <source>跳过 &quot;%1&quot;: 不能用作文件名</source>
        <translation>Skipped &quot;%1&quot;: it cannot be used as a file name</translation>
    </message>
    <message>
        <source>跳过 %1: 文件已经存在 (用 --force 覆盖)</source>
        <translation>Skipped %1: the file already exists (--force replaces it)</translation>
    </message>
    <message>
        <source>%1 写入失败: %2</source>
        <translation>Writing %1 failed: %2</translation>
    </message>
    <message numerus="yes">
        <source>已导出 %n 个文件</source>
        <translation>
            <numerusform>Exported %n file</numerusform>
            <numerusform>Exported %n files</numerusform>
        </translation>
    </message>
    <message>
        <source>用法: zarvoctl compact PATH</source>
        <translation>Usage: zarvoctl compact PATH</translation>
    </message>
    <message>
        <source>数据库修复失败, 图片库保持原样: %1</source>
        <translation>Repairing the database failed, the picture store is unchanged: %1</translation>
    </message>
    <message>
        <source>已整理 %1: %2 -&gt; %3 字节</source>
        <translation>Compacted %1: %2 -&gt; %3 bytes</translation>
    </message>
    <message>
        <source>未知命令 %1 (zarvoctl --help 显示用法)</source>
        <translation>Unknown command %1 (zarvoctl --help shows the usage)</translation>
    </message>
    <message>
        <source>用法: zarvoctl &lt;命令&gt; [参数]
Zarvo 图片库文件 (data.mdb) 的维护工具。

命令:
  init PATH                     新建一个空的图片库
  add PATH FOLDER FILE...       把图片文件原样加入文件夹 FOLDER; 文件夹不存在时新建,
                                并放在文件夹树的顶层; 重名的图片自动改名, 例如 cat(0)
  list PATH [FOLDER]            列出文件夹树, 以及各文件夹 (或 FOLDER) 中的图片和大小
  export PATH FOLDER DIR [--force]
                                把 FOLDER 中的图片原样写入目录 DIR, 文件名为图片名称加
                                来源的扩展名; 已存在的文件只有给出 --force 时才覆盖
  compact PATH                  整理并检查图片库, 与 Zarvo 每次退出时相同
  push PATH URI [--merge]       把图片库文件整个复制到 PostgreSQL 服务器 (URI 以 postgresql://
                                开头); 中断后再次运行会接着复制; 目标不空时只有给出 --merge
                                才合并进去
  pull URI PATH [--merge]       把服务器上的图片库整个复制到文件 PATH (没有时新建)
  use URI | --local             记住服务器图片库, 供菜单启动器使用; --local 忘掉它
  import PATH DIR [--under NODE] [--keep-duplicates] [--dry-run]
                                把目录 DIR 连同其子目录导入为文件夹树的一个节点 (在 NODE
                                之下, NODE 为以 / 分隔的节点路径, 默认为顶层); 图片库中已有
                                相同内容的图片跳过, 除非给出 --keep-duplicates; --dry-run
                                只统计, 不做改动; 中断后再次运行会接着导入
  duplicates PATH               列出内容相同的图片: 每行为组号, 文件夹路径, 图片名称
  --help                        显示本帮助
  --version                     显示版本

除 push 和 pull 的文件一方外, PATH 也可以是服务器上的图片库: 以 postgresql:// 或
postgres:// 开头的 libpq 连接 URI (密码放在 .pgpass 或 PGPASSWORD 中, 不要写在命令行上)。

退出状态: 0 成功, 1 失败 (或部分失败), 2 用法错误。
正被 Zarvo 打开的图片库不能操作。
</source>
        <translation>Usage: zarvoctl &lt;command&gt; [arguments]
Maintains Zarvo picture stores (data.mdb files).

Commands:
  init PATH                     create an empty picture store
  add PATH FOLDER FILE...       add picture files unchanged to the folder FOLDER; a missing
                                folder is created at the top of the folder tree; a picture
                                whose name is taken gets a new one, for example cat(0)
  list PATH [FOLDER]            list the folder tree and the pictures of each folder (or of
                                FOLDER) with their sizes
  export PATH FOLDER DIR [--force]
                                write the pictures of FOLDER unchanged into the directory
                                DIR, named by the picture&apos;s name and the extension of its
                                source; existing files are only overwritten with --force
  compact PATH                  compact and check the picture store, as Zarvo does each
                                time it exits
  push PATH URI [--merge]       copy the whole store file to a PostgreSQL server (URI starts
                                with postgresql://); run again after an interruption, it goes
                                on where it stopped; a target that is not empty is merged
                                into only with --merge
  pull URI PATH [--merge]       copy the whole store on the server to the file PATH (made
                                when missing)
  use URI | --local             remember the server store for the menu launcher; --local
                                forgets it
  import PATH DIR [--under NODE] [--keep-duplicates] [--dry-run]
                                import the directory DIR with its subdirectories as one
                                node of the folder tree (under NODE, a node path separated
                                by /, the top level by default); pictures whose bytes the
                                store already holds are skipped unless --keep-duplicates is
                                given; --dry-run only counts and changes nothing; run again
                                after an interruption, it goes on where it stopped
  duplicates PATH               list pictures with the same bytes: one line per picture
                                with its set number, folder path and name
  --help                        show this help
  --version                     show the version

Except for the file side of push and pull, PATH may also be a store on a server: a libpq
connection URI starting with postgresql:// or postgres:// (passwords go in .pgpass or
PGPASSWORD, never on the command line).

Exit status: 0 success, 1 failure (or partial failure), 2 usage error.
A picture store that Zarvo has open cannot be worked on.
</translation>
    </message>
    <message>
        <source>%1 不是空的图片库, 也没有未完成的复制; 要合并进去请加 --merge</source>
        <translation>%1 is not an empty picture store and holds no unfinished copy; add --merge to merge into it</translation>
    </message>
    <message>
        <source>%1 中有一次从 %2 开始的复制尚未完成</source>
        <translation>%1 holds an unfinished copy from %2</translation>
    </message>
    <message>
        <source>复制中断: %1 (再次运行同一命令会接着复制)</source>
        <translation>The copy stopped: %1 (running the same command again goes on with it)</translation>
    </message>
    <message>
        <source>不能连接服务器图片库 %1: %2</source>
        <translation>Cannot connect to the store on the server %1: %2</translation>
    </message>
    <message>
        <source>用法: zarvoctl push PATH URI [--merge]</source>
        <translation>Usage: zarvoctl push PATH URI [--merge]</translation>
    </message>
    <message>
        <source>用法: zarvoctl pull URI PATH [--merge]</source>
        <translation>Usage: zarvoctl pull URI PATH [--merge]</translation>
    </message>
    <message>
        <source>%1: %2 张图片</source>
        <translation>%1: %2 pictures</translation>
    </message>
    <message>
        <source>已复制 %1 个文件夹</source>
        <translation>Copied %1 folders</translation>
    </message>
    <message>
        <source>用法: zarvoctl use URI | --local</source>
        <translation>Usage: zarvoctl use URI | --local</translation>
    </message>
    <message>
        <source>不能删除 %1</source>
        <translation>Cannot delete %1</translation>
    </message>
    <message>
        <source>菜单启动器将使用本机的图片库</source>
        <translation>The menu launcher will use the picture store on this computer</translation>
    </message>
    <message>
        <source>不能写入 %1</source>
        <translation>Cannot write %1</translation>
    </message>
    <message>
        <source>菜单启动器将使用 %1</source>
        <translation>The menu launcher will use %1</translation>
    </message>
    <message>
        <source>正在为图片库中的图片计算指纹 (只需一次)...</source>
        <translation>Fingerprinting the pictures of the store (only once)...</translation>
    </message>
    <message>
        <source>图片指纹无法计算: %1</source>
        <translation>The pictures could not be fingerprinted: %1</translation>
    </message>
    <message>
        <source>图片指纹无法计算</source>
        <translation>The pictures could not be fingerprinted</translation>
    </message>
    <message>
        <source>用法: zarvoctl import PATH DIR [--under NODE] [--keep-duplicates] [--dry-run]</source>
        <translation>Usage: zarvoctl import PATH DIR [--under NODE] [--keep-duplicates] [--dry-run]</translation>
    </message>
    <message>
        <source>目录 %1 不存在</source>
        <translation>The directory %1 does not exist</translation>
    </message>
    <message>
        <source>文件夹树无法读取, 没有导入任何图片</source>
        <translation>The folder tree cannot be read; no picture was imported</translation>
    </message>
    <message>
        <source>没有节点 %1</source>
        <translation>There is no node %1</translation>
    </message>
    <message>
        <source>试运行, 未做改动: </source>
        <translation>Dry run, nothing changed: </translation>
    </message>
    <message>
        <source>导入 %1 张图片, 跳过 %2 张重复的图片, 跳过 %3 个非图片文件, %4 个失败</source>
        <translation>%1 pictures imported, %2 duplicate pictures skipped, %3 other files skipped, %4 failed</translation>
    </message>
    <message>
        <source>用法: zarvoctl duplicates PATH</source>
        <translation>Usage: zarvoctl duplicates PATH</translation>
    </message>
    <message>
        <source>未知选项 %1</source>
        <translation>Unknown option %1</translation>
    </message>
    <message>
        <source>服务器上的图片库不需要整理: PostgreSQL 自己回收空间 (autovacuum)</source>
        <translation>A picture store on a server needs no compacting: PostgreSQL reclaims the space itself (autovacuum)</translation>
    </message>
</context>
<context>
    <name>zarvo::FindSession</name>
    <message>
        <source>在你的名称中不能存在ASCII码1</source>
        <translation>Your name cannot contain the character ASCII 1</translation>
    </message>
    <message>
        <source>在你的名称中不能存在空格字符</source>
        <translation>Your name cannot contain spaces</translation>
    </message>
    <message>
        <source>请输入要查找的名称</source>
        <translation>Please enter the name to find</translation>
    </message>
    <message>
        <source>文件没有找到</source>
        <translation>No picture found</translation>
    </message>
    <message>
        <source>请先选择一个查找的启始点</source>
        <translation>Please select where the search starts first</translation>
    </message>
    <message>
        <source>文件夹/树结构 %1 没有找到</source>
        <translation>Folder or group %1 not found</translation>
    </message>
    <message>
        <source>文件夹: %1  -&gt; 文件名:%2</source>
        <translation>Folder: %1  -&gt; Name: %2</translation>
    </message>
</context>
<context>
    <name>zarvo::Form1</name>
    <message>
        <source>真的要退出程序吗?</source>
        <translation>Do you really want to exit Zarvo?</translation>
    </message>
    <message>
        <source>图片库还是空的。
用 &quot;文件夹&quot; 菜单的 &quot;添加文件夹&quot; 新建一个文件夹再添加图片, 或者用 &quot;导入目录&quot; 把一个目录连同子目录中的图片一次导入。</source>
        <translation>The picture store is still empty.
Make a folder with &quot;Add Folder&quot; in the &quot;Folder&quot; menu and add pictures to it, or bring in a directory with all the pictures of its subdirectories at once with &quot;Import Directory&quot;.</translation>
    </message>
</context>
<context>
    <name>zarvo::MsnPop</name>
    <message>
        <source>    提示:</source>
        <translation>    Note:</translation>
    </message>
    <message>
        <source>恭喜:</source>
        <translation>Done:</translation>
    </message>
    <message>
        <source>警告:</source>
        <translation>Warning:</translation>
    </message>
</context>
<context>
    <name>zarvo::TEdi</name>
    <message>
        <source>修改窗口</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>原名称:</source>
        <translation>From:</translation>
    </message>
    <message>
        <source>新名称:</source>
        <translation>To:</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>取消(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>名称中不能包含空格字符</source>
        <translation>A name cannot contain spaces</translation>
    </message>
    <message>
        <source>名称中不能包念ASSCII码1</source>
        <translation>A name cannot contain the character ASCII 1</translation>
    </message>
    <message>
        <source>新名称和名称是一样的</source>
        <translation>The new name is the same as the old one</translation>
    </message>
</context>
<context>
    <name>zarvo::TFgi</name>
    <message>
        <source>Gif文件分解工具</source>
        <translation>GIF Frame Splitter</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>打开文件(&amp;O)...</source>
        <translation>&amp;Open File...</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>GIF Image (*.gif)</source>
        <translation>GIF Image (*.gif)</translation>
    </message>
    <message>
        <source>BMP文件(*.bmp)</source>
        <translation>BMP File (*.bmp)</translation>
    </message>
    <message>
        <source>图片另存为(&amp;A)......</source>
        <translation>Save Picture &amp;As...</translation>
    </message>
    <message>
        <source>文件 %1 已损坏，只能显示其中完好的部分</source>
        <translation>The file %1 is damaged: only its intact part can be shown.</translation>
    </message>
    <message>
        <source>文件 %1 保存失败</source>
        <translation>The file %1 could not be saved.</translation>
    </message>
</context>
<context>
    <name>zarvo::Tabou</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
</context>
<context>
    <name>zarvo::Tad</name>
    <message>
        <source>添加同级树结构(&amp;T)</source>
        <translation>Add a &amp;group beside it</translation>
    </message>
    <message>
        <source>添加下级树结构(&amp;D)</source>
        <translation>Add a g&amp;roup under it</translation>
    </message>
    <message>
        <source>添加同级文件夹(&amp;F)</source>
        <translation>Add a &amp;folder beside it</translation>
    </message>
    <message>
        <source>添加下级文件夹(&amp;L)</source>
        <translation>Add a folder &amp;under it</translation>
    </message>
    <message>
        <source>Add Tree/Folder</source>
        <translation>Add Group/Folder</translation>
    </message>
    <message>
        <source>名称:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>输入你想要添加的文件夹/树结构的名称</source>
        <translation>Type the name of the folder or group to add</translation>
    </message>
    <message>
        <source>请选择</source>
        <translation>Please choose</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>取消(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>在你的名称中不能存在ASCII码1</source>
        <translation>Your name cannot contain the character ASCII 1</translation>
    </message>
    <message>
        <source>在你的名称中不能存在空格字符</source>
        <translation>Your name cannot contain spaces</translation>
    </message>
    <message>
        <source>请输入树名或文件夹名</source>
        <translation>Please type a group or folder name</translation>
    </message>
</context>
<context>
    <name>zarvo::Tdups</name>
    <message>
        <source>删除选中的图片(&amp;D)</source>
        <translation>&amp;Delete Selected Pictures</translation>
    </message>
    <message>
        <source>打开所在文件夹(&amp;O)</source>
        <translation>&amp;Open Its Folder</translation>
    </message>
    <message>
        <source>查找重复图片</source>
        <translation>Find Duplicate Pictures</translation>
    </message>
    <message>
        <source>文件夹</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>图片名称</source>
        <translation>Picture name</translation>
    </message>
    <message>
        <source>关闭(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>没有内容相同的图片</source>
        <translation>No two pictures hold the same bytes</translation>
    </message>
    <message>
        <source>%1 组内容相同的图片; 选中多余的副本即可删除</source>
        <translation>%1 sets of identical pictures; select the copies you do not need to delete them</translation>
    </message>
    <message>
        <source>第 %1 组: %2 张, 每张 %3 字节</source>
        <translation>Set %1: %2 pictures of %3 bytes each</translation>
    </message>
</context>
<context>
    <name>zarvo::Tfin</name>
    <message>
        <source>查询</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>查找选项:</source>
        <translation>Search options:</translation>
    </message>
    <message>
        <source>查找种类</source>
        <translation>Search for</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;Pictures</translation>
    </message>
    <message>
        <source>文件夹(&amp;O)/树结构(&amp;T)</source>
        <translation>F&amp;olders/groups</translation>
    </message>
    <message>
        <source>查找名称</source>
        <translation>Name to find</translation>
    </message>
    <message>
        <source>查找(&amp;S)</source>
        <translation>&amp;Search</translation>
    </message>
    <message>
        <source>查找结果</source>
        <translation>Results</translation>
    </message>
</context>
<context>
    <name>zarvo::Tselfolde</name>
    <message>
        <source>请选择你要导出文件的文件目录</source>
        <translation>Choose the directory to export the pictures to</translation>
    </message>
    <message>
        <source>文件夹选择:</source>
        <translation>Choose a directory:</translation>
    </message>
    <message>
        <source>文件夹:</source>
        <translation>Path:</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>取消(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
</context>
<context>
    <name>zarvo::Tvie</name>
    <message>
        <source>保存文件...(&amp;S)</source>
        <translation>&amp;Save File...</translation>
    </message>
    <message>
        <source>窗口变小(&amp;X)</source>
        <translation>Shrin&amp;k Window</translation>
    </message>
    <message>
        <source>恢复原来窗口(&amp;R)</source>
        <translation>&amp;Restore Window</translation>
    </message>
    <message>
        <source>关闭窗口(&amp;C)</source>
        <translation>&amp;Close Window</translation>
    </message>
    <message>
        <source>窗口已经最小</source>
        <translation>The window is already at its smallest</translation>
    </message>
    <message>
        <source>已经处在原有状态</source>
        <translation>The window already has its original size</translation>
    </message>
</context>
<context>
    <name>zarvo::Twai</name>
    <message>
        <source>数据库修复失败，可能是您的计算机中没有安装 ADO 引擎，或者是数据库文件正被其它程序打开</source>
        <translation>Repairing the database failed: perhaps the ADO engine is not installed on your computer, or another program has the database file open</translation>
    </message>
    <message>
        <source>系统正在检测和修复数据库,请稍等......</source>
        <translation>Checking and repairing the database......</translation>
    </message>
    <message>
        <source>为了确保下一次程序能正常加载数据库</source>
        <translation>To keep the database loading well,</translation>
    </message>
    <message>
        <source>所以每次退出程序前,程序都会自动检测一次</source>
        <translation>Zarvo checks it each time it exits.</translation>
    </message>
    <message>
        <source>在检测期间请不要关闭程序</source>
        <translation>Please do not close it meanwhile.</translation>
    </message>
    <message>
        <source>系统正在检测和修复数据库,请稍等</source>
        <translation>Checking and repairing the database</translation>
    </message>
</context>
<context>
    <name>zarvo::Workspace</name>
    <message>
        <source>数据库文件不存在!</source>
        <translation>The database file does not exist!</translation>
    </message>
    <message>
        <source>数据库打开错误</source>
        <translation>The database cannot be opened</translation>
    </message>
    <message>
        <source>树结构保存失败！</source>
        <translation>The folder tree could not be saved!</translation>
    </message>
    <message>
        <source>文件：%1 在读取时发生错误！</source>
        <translation>An error occurred while reading the file %1!</translation>
    </message>
    <message>
        <source>正在为图片计算指纹 (只需一次)</source>
        <translation>Fingerprinting the pictures (only once)</translation>
    </message>
    <message>
        <source>图片指纹计算失败</source>
        <translation>The pictures could not be fingerprinted</translation>
    </message>
    <message>
        <source>另一台电脑修改了文件夹, 已重新读取文件夹树; 刚才的操作没有执行</source>
        <translation>Another computer changed the folders, so the folder tree was read again; your last change was not made</translation>
    </message>
</context>
</TS>
